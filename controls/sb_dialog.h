#pragma once
// The folder picker: shows the folder chooser modally over its owner,
// starting at Directory, and on confirmation puts the chosen folder into
// Directory. Callers fill Directory from their field first and copy it back
// only when Execute() says yes; a cancelled chooser leaves it unchanged.

#include <QFlags>
#include <QObject>
#include <QString>

class QFileDialog;
class QWidget;

namespace qorvane {

// The chooser's behaviour flags; each option's value is the folder browser
// flag it stands for, so Options is the bitwise OR of them.
enum TSBDlgOption : unsigned {
    biBrowseForComputer = 0x1000,
    biBrowseForPrinter = 0x2000,
    biDontGoBelowDomain = 0x0002,
    biReturnFSAncestors = 0x0008,
    biReturnOnlyFSDirs = 0x0001,
    biStatusText = 0x0004,
    biNewStyle = 0x0040,
    biEditBox = 0x0010,
};
Q_DECLARE_FLAGS(TSBDlgOptions, TSBDlgOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TSBDlgOptions)

class TSBDialog : public QObject {
    Q_OBJECT
public:
    explicit TSBDialog(QWidget* owner);

    QString Directory;
    // Instruction text shown with the chooser.
    QString Caption;
    TSBDlgOptions Options = biReturnOnlyFSDirs;

    // True when the user confirmed a folder.
    bool Execute();

    // The browser flags of Options.
    unsigned BrowserFlags() const { return static_cast<unsigned>(Options.toInt()); }

    // The folder the chooser starts in: Directory without one trailing
    // separator, except for the root itself.
    static QString StartFolder(const QString& directory);

    // Sets the chooser up as Options and Caption ask (for Execute and tests).
    void prepare(QFileDialog& dialog) const;

private:
    QWidget* owner_;
};

}  // namespace qorvane
