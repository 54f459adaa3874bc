// SPDX-License-Identifier: GPL-3.0-or-later
// The menu of the code page that the adapter's texts are read and written in.
#pragma once

#include <QObject>
#include <QString>

class QMenu;

namespace vestra7 {

class AdapterPort;
struct AdapterIdentity;

// The code page is remembered per adapter; an adapter never given one reads as the desktop's
// language would have it. The program's one codec follows the adapter in use.
class CodePageMenu final : public QObject
{
    Q_OBJECT

public:
    // Adds the menu at the end of `parentMenu`.
    CodePageMenu(QMenu &parentMenu, AdapterPort &adapter);

signals:
    // The codec reads in another code page now: every text shown was read in the old one.
    void codePageSwitched();

private:
    void useAdapterCodePage(const AdapterIdentity &identity);
    void chooseCodePage(const QString &name);
    void switchCodePage(const QString &name);

    AdapterPort &m_adapter;
    QMenu *m_menu;
    // What the program reads texts in before any adapter's own choice: the desktop language's code page.
    QString m_defaultCodePage;
};

} // namespace vestra7
