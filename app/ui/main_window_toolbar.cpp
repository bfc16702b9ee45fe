// The main window's toolbar and the keys that reach its commands: every
// button has a shortcut that presses it, so a key does exactly what a click
// does (the batch controller listens to the convert button's click).
#include <QComboBox>
#include <QKeySequence>
#include <QShortcut>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include "app/ui/main_window.h"

namespace qorvane {

namespace {

const QKeySequence kCloseKey(Qt::CTRL | Qt::Key_Q);
const QKeySequence kConvertKey(Qt::CTRL | Qt::Key_Return);
const QKeySequence kConvertKeypadKey(Qt::CTRL | Qt::Key_Enter);
const QKeySequence kEditKey(Qt::CTRL | Qt::Key_E);
const QKeySequence kDeleteKey(Qt::Key_Delete);
const QKeySequence kAddFolderKey(Qt::CTRL | Qt::Key_O);
const QKeySequence kSettingsKey(Qt::CTRL | Qt::Key_Comma);
const QKeySequence kToolBarKey(Qt::Key_F10);

QToolButton* NewToolButton(QToolBar* bar, const QString& caption, QStyle::StandardPixmap icon,
                           const QKeySequence& key) {
    auto* button = new QToolButton(bar);
    button->setText(caption);
    const QString name = WithoutMnemonic(caption);
    button->setAccessibleName(name);
    button->setToolTip(QStringLiteral("%1 (%2)").arg(name, key.toString(QKeySequence::NativeText)));
    button->setIcon(bar->style()->standardIcon(icon));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    // Reached by Tab and F10; a click leaves the focus where it was.
    button->setFocusPolicy(Qt::TabFocus);
    // 37 x 35 as designed; wider where a caption needs the room in this font.
    button->setMinimumSize(37, 35);
    button->setFixedHeight(35);
    button->setIconSize(QSize(16, 16));
    bar->addWidget(button);
    return button;
}

QShortcut* NewShortcut(QWidget* owner, const QList<QKeySequence>& keys, Qt::ShortcutContext context) {
    auto* shortcut = new QShortcut(owner);
    shortcut->setKeys(keys);
    shortcut->setContext(context);
    return shortcut;
}

}  // namespace

QString WithoutMnemonic(QString caption) {
    for (qsizetype i = caption.indexOf(u'&'); i >= 0; i = caption.indexOf(u'&', i + 1)) {
        caption.remove(i, 1);  // "&&" keeps one ampersand
    }
    return caption;
}

void TQorvbyOstrel::buildToolBar() {
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->toggleViewAction()->setVisible(false);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);

    tbClose = NewToolButton(ToolBar1, tr("閉じる"), QStyle::SP_DialogCloseButton, kCloseKey);
    ToolBar1->addSeparator();
    tbConv = NewToolButton(ToolBar1, tr("変換"), QStyle::SP_MediaPlay, kConvertKey);
    ToolBar1->addSeparator();
    proList = new QComboBox(ToolBar1);
    proList->setEditable(false);
    proList->setFixedWidth(153);
    proList->setFocusPolicy(Qt::StrongFocus);
    proList->setAccessibleName(tr("プロファイル"));
    ToolBar1->addWidget(proList);
    ToolBar1->addSeparator();
    tbChg = NewToolButton(ToolBar1, tr("変更"), QStyle::SP_FileDialogDetailedView, kEditKey);
    ToolBar1->addSeparator();
    tbAdd = NewToolButton(ToolBar1, tr("フォルダ追加"), QStyle::SP_DirOpenIcon, kAddFolderKey);
    ToolBar1->addSeparator();
    tbDel = NewToolButton(ToolBar1, tr("削除"), QStyle::SP_TrashIcon, kDeleteKey);
    ToolBar1->addSeparator();
    tbEnv = NewToolButton(ToolBar1, tr("設定"), QStyle::SP_ComputerIcon, kSettingsKey);

    connect(tbClose, &QToolButton::clicked, this, &TQorvbyOstrel::tbCloseClick);
    connect(tbChg, &QToolButton::clicked, this, &TQorvbyOstrel::tbChgClick);
    connect(tbAdd, &QToolButton::clicked, this, &TQorvbyOstrel::tbAddClick);
    connect(tbDel, &QToolButton::clicked, this, &TQorvbyOstrel::tbDelClick);
    connect(tbEnv, &QToolButton::clicked, this, &TQorvbyOstrel::tbEnvClick);
    connect(proList, &QComboBox::activated, this, &TQorvbyOstrel::proListChange);
}

void TQorvbyOstrel::buildShortcuts() {
    const auto presses = [this](QToolButton* button, const QList<QKeySequence>& keys,
                                QWidget* owner, Qt::ShortcutContext context) {
        connect(NewShortcut(owner, keys, context), &QShortcut::activated, button, &QToolButton::click);
    };
    presses(tbClose, {kCloseKey}, this, Qt::WindowShortcut);
    presses(tbConv, {kConvertKey, kConvertKeypadKey}, this, Qt::WindowShortcut);
    presses(tbChg, {kEditKey}, this, Qt::WindowShortcut);
    presses(tbEnv, {kSettingsKey}, this, Qt::WindowShortcut);
    presses(tbAdd, {kAddFolderKey}, this, Qt::WindowShortcut);
    // Only in the list: in a tag field Delete deletes text.
    presses(tbDel, {kDeleteKey}, ListView1, Qt::WidgetShortcut);
    connect(NewShortcut(this, {kToolBarKey}, Qt::WindowShortcut), &QShortcut::activated, this,
            [this] { tbClose->setFocus(Qt::ShortcutFocusReason); });
}

}  // namespace qorvane
