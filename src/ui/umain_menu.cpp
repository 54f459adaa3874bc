// The main window's menu commands.
#include "ui/umain.h"

#include "link/device_link.h"

#include "ui_umain.h"

void Tfmain::DEFClick()
{
    if (!m_confirm(this, QStringLiteral("Set to default?")))
        return;
    // The selectors show the new values with the adapter's reply.
    setDefaults(m_link.record);
    save();
}
