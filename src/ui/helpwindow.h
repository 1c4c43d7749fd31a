#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTextBrowser;

// The program's manual: HTML pages shipped beside the program, one folder a
// language. The help file of the settings (ktedhlp.html) is the entry; the
// pages of a language are in help/ja or help/en beside it, with
// contents.html listing them and index.html the first page.
struct HelpManual
{
    // The manual of the help file in the language of the run (1 Japanese,
    // anything else English). Empty folder when the help file is empty.
    HelpManual(const QString &helpFile, int language);

    QString folder;                          // .../help/ja
    QString contentsPage() const;            // .../help/ja/contents.html
    QString firstPage() const;               // .../help/ja/index.html
    // True when the entry, the contents and the first page can be read.
    bool usable() const;
    // The pages the contents lists, in its order.
    QStringList pages() const;

    struct Page
    {
        QString path;
        QString title;
    };
    // The pages that hold every word of the text (blank-separated, any
    // case), in the contents' order.
    QList<Page> search(const QString &words) const;

    QString helpFile;
};

// The help window (`frmHelp`): the contents and a search on the left, the
// page on the right. Links between pages open in the window; links to the
// web open in the desktop's browser.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    HelpWindow(const HelpManual &manual, QWidget *parent = nullptr);

    // Shows the contents (or the search) and the first page; false when
    // the manual cannot be shown.
    bool showContents();
    bool showSearch();

    // The page shown on the right.
    QString currentPage() const;
    // Runs the search for the words typed.
    void search();

    QTabWidget *tabHelp = nullptr;
    QTextBrowser *txtContents = nullptr;
    QLabel *lblSearch = nullptr;
    QLineEdit *txtSearch = nullptr;
    QPushButton *cmdSearch = nullptr;
    QListWidget *lstFound = nullptr;
    QLabel *lblNotFound = nullptr;
    QTextBrowser *txtPage = nullptr;

private:
    bool load();
    void openPage(const QString &path);

    HelpManual m_manual;
};
