#pragma once

#include "core/tasks/SearchEngine.h"
#include "widgets/SkinnedForm.h"

#include <optional>

class Diary;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class Skin;

// The search window: a query line over the days that match it, newest first, found as the
// user types. Enter or a double click confirms a day; Escape closes with none.
class TSearchForm : public SkinnedForm
{
    Q_OBJECT

public:
    // Titles are taken from the diary now; bodies are read from its entries folder by each
    // search, so the shown day must be saved before the window opens.
    TSearchForm(const Skin& skin, const Diary& diary, QWidget* parent = nullptr);
    ~TSearchForm() override;

    // The day confirmed, as a diary date; no value until one is.
    std::optional<double> chosenDate() const { return m_chosen; }
    // Whether the latest query's search has run to its end.
    bool searchDone() const { return m_done; }

    QLabel* Label1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QListWidget* ListBox1 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Edit1Change(const QString& query);
    void hitsFound(int search, const QList<SearchHit>& hits);
    void searchFinished(int search, const QString& error);
    void choose(const QListWidgetItem* item);

    SearchEngine m_engine;
    std::optional<double> m_chosen;
    bool m_done = true;
    // Enter came before the first result of the running search: the first result is taken.
    bool m_enterPending = false;
};
