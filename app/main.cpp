#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Tarnwick v1.0"));
  window.setGeometry(50, 50, 1065, 759);
  window.show();
  return QApplication::exec();
}
