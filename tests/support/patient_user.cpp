// SPDX-License-Identifier: GPL-3.0-or-later
// The person at the modal windows.
#include "support/patient_user.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

#include <algorithm>

namespace vestra7 {

namespace {

QAbstractButton *buttonIn(QWidget *window, const QString &text)
{
    const QList<QAbstractButton *> buttons = window->findChildren<QAbstractButton *>();
    const auto found = std::find_if(buttons.begin(), buttons.end(), [&](QAbstractButton *button) {
        return button->isVisible() && button->text().remove(QLatin1Char('&')) == text;
    });
    return found != buttons.end() ? *found : nullptr;
}

// Later, from the event loop: a button may start a modal loop of its own, and the look at the
// windows must go on meanwhile.
void clickLater(QAbstractButton *button)
{
    QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
}

} // namespace

void PrintTo(const SeenWindow &window, std::ostream *out)
{
    switch (window.kind) {
    case SeenWindow::Kind::MessageBox:
        *out << "message box";
        break;
    case SeenWindow::Kind::FileDialog:
        *out << "file dialog";
        break;
    case SeenWindow::Kind::Other:
        *out << "window";
        break;
    }
    *out << " \"" << window.title.toStdString() << '"';
    if (!window.text.isEmpty()) {
        QString text = window.text;
        text.replace(QLatin1Char('\r'), QLatin1String("\\r")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
        *out << ": \"" << text.toStdString() << '"';
    }
}

PatientUser::PatientUser(std::chrono::milliseconds pause)
    : m_pause(pause)
{
    m_alive.start();
    qApp->installEventFilter(this);
    connect(&m_look, &QTimer::timeout, this, &PatientUser::look);
    m_look.start(20);
}

PatientUser::~PatientUser()
{
    qApp->removeEventFilter(this);
}

void PatientUser::pressOnce(const QString &title, const QString &button)
{
    m_presses.push_back({title, button});
}

void PatientUser::answerBoxes(const QString &button, std::function<bool()> ready)
{
    m_boxButton = button;
    m_boxReady = std::move(ready);
}

std::vector<SeenWindow> PatientUser::messageBoxes() const
{
    std::vector<SeenWindow> boxes;
    std::copy_if(m_seen.begin(), m_seen.end(), std::back_inserter(boxes),
                 [](const SeenWindow &window) { return window.kind == SeenWindow::Kind::MessageBox; });
    return boxes;
}

bool PatientUser::eventFilter(QObject *watched, QEvent *event)
{
    // Every modal window is noted as it is shown, also one that never gets to the top.
    if (event->type() == QEvent::Show && !event->spontaneous() && watched->isWidgetType()) {
        auto *window = static_cast<QWidget *>(watched);
        if (window->isWindow() && window->isModal()) {
            SeenWindow seen{SeenWindow::Kind::Other, window->windowTitle(), {}};
            if (auto *box = qobject_cast<QMessageBox *>(window)) {
                seen.kind = SeenWindow::Kind::MessageBox;
                seen.text = box->text();
            } else if (qobject_cast<QFileDialog *>(window)) {
                seen.kind = SeenWindow::Kind::FileDialog;
            }
            m_seen.push_back(seen);
        }
    }
    return QObject::eventFilter(watched, event);
}

void PatientUser::look()
{
    if (m_alive.elapsed() >= m_giveUpAfter.count())
        m_gaveUp = true;
    if (m_gaveUp) {
        closeEverything();
        return;
    }
    // Only the window on top takes input; the pause starts when it is there and can be answered.
    QWidget *top = QApplication::activeModalWidget();
    const std::function<void()> answer = top ? answerFor(top) : nullptr;
    if (!answer) {
        m_ready = nullptr;
        return;
    }
    if (m_ready != top) {
        m_ready = top;
        m_readyFor.start();
        return;
    }
    if (m_readyFor.elapsed() < m_pause.count())
        return;
    m_ready = nullptr;
    answer();
}

std::function<void()> PatientUser::answerFor(QWidget *window)
{
    if (std::find(m_answered.begin(), m_answered.end(), window) != m_answered.end())
        return nullptr;
    if (auto *box = qobject_cast<QMessageBox *>(window)) {
        QAbstractButton *button = buttonIn(box, m_boxButton);
        if (!button || !m_boxReady || !m_boxReady())
            return nullptr;
        return [this, box, button] {
            m_answered.emplace_back(box);
            clickLater(button);
        };
    }
    if (auto *dialog = qobject_cast<QFileDialog *>(window)) {
        // The path goes where the cursor is, the file name field, and Enter opens it.
        auto *field = qobject_cast<QLineEdit *>(dialog->focusWidget());
        if (m_file.isEmpty() || !field)
            return nullptr;
        return [this, dialog, field] {
            m_answered.emplace_back(dialog);
            QTimer::singleShot(0, field, [field, file = m_file] {
                field->setText(file);
                QTest::keyClick(field, Qt::Key_Return);
            });
        };
    }
    for (PressRule &rule : m_presses) {
        if (rule.done || rule.title != window->windowTitle())
            continue;
        QAbstractButton *button = buttonIn(window, rule.button);
        if (!button || !button->isEnabled())
            continue;
        return [&rule, button] {
            rule.done = true;
            clickLater(button);
        };
    }
    return nullptr;
}

void PatientUser::closeEverything()
{
    if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
        dialog->done(QDialog::Rejected);
}

} // namespace vestra7
