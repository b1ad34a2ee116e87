#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel placeholder("Valvix: the windows are not built yet.");
    placeholder.setWindowTitle("Valvix");
    placeholder.show();
    return app.exec();
}
