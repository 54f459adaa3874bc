// SPDX-License-Identifier: GPL-3.0-or-later
// File dialogs through Qt's static functions, which use the platform's native dialogs where there are some.
#include "ui/file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace vestra7 {

namespace {

std::optional<QString> platformChooser(QWidget *parent, const FileDialog::Offer &offer)
{
    const QString chosen = offer.mode == FileDialog::Mode::Save
                               ? QFileDialog::getSaveFileName(parent, QString(), offer.fileName, offer.filter, nullptr,
                                                              QFileDialog::DontConfirmOverwrite)
                               : QFileDialog::getOpenFileName(parent, QString(), offer.fileName, offer.filter);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

QString withSuffix(const QString &fileName, const QString &suffix)
{
    if (suffix.isEmpty() || !QFileInfo(fileName).suffix().isEmpty())
        return fileName;
    return fileName.endsWith(u'.') ? fileName + suffix : fileName + u'.' + suffix;
}

} // namespace

FileDialog::FileDialog(Mode mode, QString filter, QString fileName)
    : m_mode(mode)
    , m_filter(std::move(filter))
    , m_fileName(std::move(fileName))
    , m_chooser(platformChooser)
{
}

bool FileDialog::exec(QWidget *parent)
{
    const std::optional<QString> chosen = m_chooser(parent, {m_mode, m_fileName, m_filter});
    if (!chosen)
        return false;
    m_fileName = withSuffix(*chosen, m_defaultSuffix);
    return true;
}

} // namespace vestra7
