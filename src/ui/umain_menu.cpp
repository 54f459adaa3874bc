// The main window's menu commands: configuration files, closing, the update window, the settings
// panel, the reset to defaults and the About box.
#include "ui/umain.h"

#include "link/device_link.h"
#include "model/config_file.h"
#include "ui/firmware_update_dialog.h"

#include "ui_umain.h"

QString Tfmain::applicationTitle() const
{
    return m_applicationTitle;
}

void Tfmain::EXPClick()
{
    if (!fsave.Execute(this))
        return;
    const QString fileName = withConfigExtension(fsave.FileName());
    fsave.setFileName(fileName);
    if (const std::optional<QString> error = saveConfigFile(fileName, m_link.record))
        errorBox(this, applicationTitle(), *error);
}

void Tfmain::IMPClick()
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

void Tfmain::FCLOSEClick()
{
    close();
}

void Tfmain::UPDClick()
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

void Tfmain::SETTINGSClick()
{
    ui->fset->setVisible(ui->fset->isHidden());
}

void Tfmain::DEFClick()
{
    if (!m_confirm(this, QStringLiteral("Set to default?")))
        return;
    // The selectors show the new values with the adapter's reply.
    setDefaults(m_link.record);
    save();
}

void Tfmain::INFClick()
{
    const auto fieldText = [this](QString (FirmwareUpdateDialog::*field)() const) {
        return fu ? (fu->*field)() : QString();
    };
    const QString crlf = QStringLiteral("\r\n");
    informationBox(this, QStringLiteral("Information"),
                   QStringLiteral("Model: ") + fieldText(&FirmwareUpdateDialog::deviceName) + crlf +
                       QStringLiteral("Serial: ") + fieldText(&FirmwareUpdateDialog::serialNumber) + crlf +
                       QStringLiteral("Software version: ") + fieldText(&FirmwareUpdateDialog::version));
}
