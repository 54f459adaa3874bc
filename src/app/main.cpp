// Program entry: the main window, then the message loop until it closes.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Lets the desktop match the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(VESTRA7_APP_ID));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("VESTRA7"));
    window.show();
    return QApplication::exec();
}
