// The floor of the process start-up benchmark: the least a Qt Widgets program that looks like
// the diary does before its window shows. A frameless 320x320 window with a Japanese label and
// a text box, nothing else.

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setFixedSize(320, 320);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("2024年1月5日 金曜日"), &window));
    layout->addWidget(new QPlainTextEdit(QStringLiteral("今日の日記"), &window));
    window.show();
    return QApplication::exec();
}
