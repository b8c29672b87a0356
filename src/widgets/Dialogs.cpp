#include "widgets/Dialogs.h"

#include "core/storage/DiaryError.h"
#include "widgets/PictureDialog.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {
// The boxes' caption. It is not Qt's application display name, which Qt would append to every
// other window's title ("情報 — Tobiquill").
const QString ProgramTitle = QStringLiteral("Tobiquill");

// Messages quote paths, titles and names as the user wrote them: never read as markup.
void showPlain(QMessageBox& box)
{
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

// A warning with two buttons, the second the default; true when the first was clicked.
bool ask(QWidget* parent, const QString& text, const QString& yes, const QString& no,
         QMessageBox::ButtonRole noRole)
{
    QMessageBox box(QMessageBox::Warning, ProgramTitle, text, QMessageBox::NoButton, parent);
    QPushButton* first = box.addButton(yes, QMessageBox::YesRole);
    box.setDefaultButton(box.addButton(no, noRole));
    showPlain(box);
    return box.clickedButton() == first;
}
} // namespace

Dialogs::Seams& Dialogs::seams()
{
    static Seams installed;
    return installed;
}

void Dialogs::resetSeams()
{
    seams() = Seams{};
}

void Dialogs::error(QWidget* parent, const QString& text)
{
    if (seams().error) {
        seams().error(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, ProgramTitle, text, QMessageBox::Ok, parent);
    showPlain(box);
}

void Dialogs::information(QWidget* parent, const QString& caption, const QString& text)
{
    if (seams().information) {
        seams().information(caption, text);
        return;
    }
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::AcceptRole);
    showPlain(box);
}

bool Dialogs::question(QWidget* parent, const QString& text)
{
    if (seams().question)
        return seams().question(text);
    return ask(parent, text, QStringLiteral("はい(&Y)"), QStringLiteral("いいえ(&N)"),
               QMessageBox::NoRole);
}

bool Dialogs::confirm(QWidget* parent, const QString& text, const QString& go)
{
    if (seams().confirm)
        return seams().confirm(text);
    return ask(parent, text, go, QStringLiteral("キャンセル"), QMessageBox::RejectRole);
}

std::optional<QFont> Dialogs::chooseFont(QWidget* parent, const QFont& current)
{
    if (seams().font)
        return seams().font(current);
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, current, parent);
    return ok ? std::optional<QFont>(font) : std::nullopt;
}

std::optional<QString> Dialogs::openPicture(QWidget* parent, const QString& title)
{
    if (seams().openPicture)
        return seams().openPicture(title);
    return PictureDialog::getPicture(parent, title);
}

std::optional<QString> Dialogs::saveFile(QWidget* parent, const QString& title,
                                         const QString& suggested, const QString& filter)
{
    if (seams().saveFile)
        return seams().saveFile(title, suggested);
    const QString path = QFileDialog::getSaveFileName(parent, title, suggested, filter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> Dialogs::openExport(QWidget* parent, const QString& title)
{
    if (seams().openExport)
        return seams().openExport(title);
    QMessageBox box(QMessageBox::Question, title,
                    QStringLiteral("読み込む書き出しはファイルですか、フォルダですか?\n"
                                   "ファイル: Day One (.zip か .json)、jrnl (.json)、RedNotebook の"
                                   "バックアップ (.zip)\nフォルダ: RedNotebook のデータ、日付の名前"
                                   "のテキストファイル"),
                    QMessageBox::NoButton, parent);
    QPushButton* file = box.addButton(QStringLiteral("ファイル(&F)..."), QMessageBox::AcceptRole);
    QPushButton* folder = box.addButton(QStringLiteral("フォルダ(&D)..."), QMessageBox::AcceptRole);
    box.setDefaultButton(file);
    box.setEscapeButton(box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole));
    showPlain(box);
    const QString caption = QStringLiteral("読み込む書き出し");
    QString path;
    if (box.clickedButton() == file)
        path = QFileDialog::getOpenFileName(parent, caption, QDir::homePath(),
                                            QStringLiteral("書き出し (*.zip *.json);;すべて (*)"));
    else if (box.clickedButton() == folder)
        path = QFileDialog::getExistingDirectory(parent, caption, QDir::homePath());
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

int Dialogs::exec(QDialog& dialog)
{
    if (seams().exec)
        return seams().exec(dialog);
    return dialog.exec();
}

bool Dialogs::guard(QWidget* parent, const std::function<void()>& command)
{
    try {
        command();
        return true;
    } catch (const DiaryError& e) {
        error(parent, e.message());
    } catch (const std::exception& e) {
        error(parent, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        error(parent, QStringLiteral("予期しないエラーが起きました。"));
    }
    return false;
}
