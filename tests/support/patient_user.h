// SPDX-License-Identifier: GPL-3.0-or-later
// A person at the program's modal windows: notes every one that comes up, and answers the one on top
// only after a pause of real time, as someone reading it would, while the program's timers run on.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <functional>
#include <ostream>
#include <vector>

class QWidget;

namespace vestra7 {

// A modal window as it came up.
struct SeenWindow
{
    enum class Kind { MessageBox, FileDialog, Other };
    Kind kind = Kind::Other;
    QString title;
    QString text; // a message box's text

    bool operator==(const SeenWindow &) const = default;
};

// Readable in failure messages.
void PrintTo(const SeenWindow &window, std::ostream *out);

class PatientUser final : public QObject
{
public:
    explicit PatientUser(std::chrono::milliseconds pause = std::chrono::seconds(1));
    ~PatientUser() override;

    // In the modal window titled `title`, presses the button `button` once, after it has been
    // enabled for the pause.
    void pressOnce(const QString &title, const QString &button);
    // In a file dialog, types `path` into the file name field and presses Enter.
    void chooseFile(const QString &path) { m_file = path; }
    // Answers message boxes with the button `button`, and not before `ready` holds as well.
    void answerBoxes(const QString &button, std::function<bool()> ready);
    // From `limit` after creation on, every modal window is closed at once, so that a test whose
    // program never got where it should ends with a failure instead of waiting for a person.
    void giveUpAfter(std::chrono::milliseconds limit) { m_giveUpAfter = limit; }

    bool gaveUp() const { return m_gaveUp; }
    const std::vector<SeenWindow> &seen() const { return m_seen; }
    std::vector<SeenWindow> messageBoxes() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct PressRule
    {
        QString title;
        QString button;
        bool done = false;
    };

    void look();
    // What the person would do now with `window` if it had been ready for the pause; empty when
    // there is nothing to do with it (yet).
    std::function<void()> answerFor(QWidget *window);
    void closeEverything();

    std::chrono::milliseconds m_pause;
    std::chrono::milliseconds m_giveUpAfter{std::chrono::minutes(2)};
    std::vector<PressRule> m_presses;
    QString m_file;
    QString m_boxButton;
    std::function<bool()> m_boxReady;

    std::vector<SeenWindow> m_seen;
    std::vector<QPointer<QWidget>> m_answered;
    // The window on top and since when it has been ready to be answered.
    QPointer<QWidget> m_ready;
    QElapsedTimer m_readyFor;
    QElapsedTimer m_alive;
    bool m_gaveUp = false;
    QTimer m_look;
};

} // namespace vestra7
