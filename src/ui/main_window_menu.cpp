// The main window's menu commands: configuration files, closing, the update window, the settings
// panel, the reset to defaults and the About box.
#include "ui/main_window.h"

#include "link/device_link.h"
#include "model/config_file.h"
#include "ui/update.h"

#include "ui_main_window.h"

#include <QLineEdit>

QString MainWindow::applicationTitle() const
{
    return m_applicationTitle;
}

void MainWindow::EXPClick()
{
    if (!fsave.Execute(this))
        return;
    const QString fileName = withConfigExtension(fsave.FileName());
    fsave.setFileName(fileName);
    if (const std::optional<QString> error = saveConfigFile(fileName, m_link.record))
        errorBox(this, applicationTitle(), *error);
}

void MainWindow::IMPClick()
{
    if (!fopen.Execute(this))
        return;
    if (const std::optional<QString> error = loadConfigFile(fopen.FileName(), m_link.record)) {
        errorBox(this, applicationTitle(), *error);
        return;
    }
    // With the focus on the window itself and on none of its controls, the next refresh shows the
    // loaded party in the edits, even if one of them had the focus.
    setFocus(Qt::OtherFocusReason);
    save();
}

void MainWindow::FCLOSEClick()
{
    close();
}

void MainWindow::UPDClick()
{
    if (!fu)
        return;
    // Give a window that was never shown the size it will show with, so that the centring holds.
    if (!fu->testAttribute(Qt::WA_Resized))
        fu->adjustSize();
    const QRect main = frameGeometry();
    const QRect update = fu->frameGeometry();
    fu->move(main.left() + main.width() / 2 - update.width() / 2, main.top() + main.height() / 2 - update.height() / 2);
    fu->exec();
}

void MainWindow::SETTINGSClick()
{
    ui->fset->setVisible(ui->fset->isHidden());
}

void MainWindow::DEFClick()
{
    if (!m_confirm(this, QStringLiteral("Set to default?")))
        return;
    // The selectors show the new values with the adapter's reply.
    setDefaults(m_link.record);
    save();
}

void MainWindow::INFClick()
{
    const auto fieldText = [this](QLineEdit *Tfu::*field) {
        return fu ? (fu->*field)->text() : QString();
    };
    const QString crlf = QStringLiteral("\r\n");
    informationBox(this, QStringLiteral("Information"),
                   QStringLiteral("Model: ") + fieldText(&Tfu::dev_name) + crlf + QStringLiteral("Serial: ") +
                       fieldText(&Tfu::dev_serial) + crlf + QStringLiteral("Software version: ") +
                       fieldText(&Tfu::dev_version));
}
