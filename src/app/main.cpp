// Program entry: the windows over the platform's HID access.
#include "app/application.h"
#include "link/hidapi_backend.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Application application([] { return std::make_unique<HidapiBackend>(); });
    return application.exec();
}
