// What finding and losing the adapter changes on screen.
#pragma once

#include <QString>

class DiscoveryView
{
public:
    virtual ~DiscoveryView() = default;

    // The main window's connected (true) or disconnected (false) state.
    virtual void Cont(bool en) = 0;
    // The adapter's identity, kept by the update window for the update check and the About box.
    virtual void showIdentity(const QString &name, const QString &serial, const QString &version) = 0;
    // The application's title and the main window's caption.
    virtual void showTitle(const QString &title) = 0;
    // The adapter is present but this user may not open it.
    virtual void showAccessProblem(const QString &reason) = 0;
};
