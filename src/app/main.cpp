// Program entry: the main window, then the message loop until it closes.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("VESTRA7"));
    window.show();
    return QApplication::exec();
}
