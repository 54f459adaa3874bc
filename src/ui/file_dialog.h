// SPDX-License-Identifier: GPL-3.0-or-later
// A save or open file dialog that remembers the name last chosen in it.
#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace vestra7 {

class FileDialog
{
public:
    enum class Mode { Save, Open };

    // What the dialog offers: the name to start from (a full path once one was chosen) and the filter.
    struct Offer
    {
        Mode mode;
        QString fileName;
        QString filter;
    };
    // Shows the dialog modally; the chosen full name, or nothing when the user cancelled.
    using Chooser = std::function<std::optional<QString>(QWidget *parent, const Offer &offer)>;

    // The default chooser uses the platform's own dialog where it has one. Saving never asks before
    // replacing a file and adds no extension of its own, unless given a default suffix.
    FileDialog(Mode mode, QString filter, QString fileName);

    // Shows the dialog modally. False when the user cancelled; otherwise selectedFile() is the name
    // chosen.
    bool exec(QWidget *parent);

    const QString &selectedFile() const { return m_fileName; }
    // The name the dialog offers next time.
    void selectFile(const QString &fileName) { m_fileName = fileName; }
    // The filter's caption is in the user's language, which may change while the dialog lives.
    void setNameFilter(const QString &filter) { m_filter = filter; }

    void setChooser(Chooser chooser) { m_chooser = std::move(chooser); }
    // "csv": a name chosen without an extension gets ".csv", as the filter offers.
    void setDefaultSuffix(const QString &suffix) { m_defaultSuffix = suffix; }

private:
    Mode m_mode;
    QString m_filter;
    QString m_fileName;
    QString m_defaultSuffix;
    Chooser m_chooser;
};

} // namespace vestra7
