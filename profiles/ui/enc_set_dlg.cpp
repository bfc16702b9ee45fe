#include "profiles/ui/enc_set_dlg.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>
#include <string>
#include <system_error>

#include "controls/ui_font.h"
#include "controls/window_frame.h"
#include "base/window_placement.h"
#include "controls/xp_group_box.h"
#include "platform/input_box.h"
#include "platform/message_box.h"
#include "profiles/clean_profile_name.h"
#include "profiles/encoding_modes.h"
#include "profiles/profile_names.h"
#include "profiles/save_as_name.h"
#include "profiles/ui/number_field_filter.h"
#include "profiles/ui/vsize_dlg.h"
#include "profiles/video_catalogue.h"

namespace qorvane {

namespace {

// Rows of the groups: labels at the left, fields from kFieldLeft, units
// right of the field.
constexpr int kLabelLeft = 10;
constexpr int kFieldLeft = 96;
constexpr int kListWidth = 161;
constexpr int kRowHeight = 20;
constexpr int kRowPitch = 23;
constexpr int kFirstRow = 18;

QString Q(const std::string& text) { return QString::fromStdString(text); }
QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

int RowTop(int row) { return kFirstRow + row * kRowPitch; }

void AddLabel(QWidget* group, const QString& text, int row, QWidget* buddy) {
    auto* label = new QLabel(text, group);
    label->setGeometry(kLabelLeft, RowTop(row), kFieldLeft - kLabelLeft - 4, kRowHeight);
    label->setBuddy(buddy);
}

void AddUnit(QWidget* group, const QString& text, QWidget* field) {
    auto* unit = new QLabel(text, group);
    unit->setGeometry(field->x() + field->width() + 4, field->y(), 40, kRowHeight);
}

QComboBox* NewList(QWidget* group, int row, const QStringList& items = {}) {
    auto* list = new QComboBox(group);
    list->setEditable(false);
    list->setGeometry(kFieldLeft, RowTop(row), kListWidth, kRowHeight);
    list->addItems(items);
    list->setMaxVisibleItems(20);
    return list;
}

// The drop-down shows its longest item in full even where the field is
// narrower. The items' own size hints fall short of their text in some
// styles, so the text is measured too; the list's frame and a scroll bar
// (when the list scrolls) come on top.
void WidenPopup(QComboBox* list) {
    QAbstractItemView* view = list->view();
    const QFontMetrics metrics(view->font());
    int widest = 0;
    for (int i = 0; i < list->count(); ++i) widest = std::max(widest, metrics.horizontalAdvance(list->itemText(i)));
    const int scrollBar =
        list->count() > list->maxVisibleItems() ? view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view) : 0;
    constexpr int kItemMargins = 24;
    view->setMinimumWidth(std::max(view->sizeHintForColumn(0), widest) + kItemMargins + 2 * view->frameWidth() +
                          scrollBar);
}

QLineEdit* NewNumberField(QWidget* group, int row, int width, EditorKeyFilter filter) {
    auto* edit = new QLineEdit(group);
    edit->setGeometry(kFieldLeft, RowTop(row), width, kRowHeight);
    InstallNumberFilter(edit, filter);
    return edit;
}

QSlider* NewSlider(QWidget* group, int row, int width, int max, int pageStep, int tickInterval) {
    auto* slider = new QSlider(Qt::Horizontal, group);
    slider->setGeometry(kFieldLeft, RowTop(row), width, kRowHeight + 4);
    slider->setRange(0, max);
    slider->setPageStep(pageStep);
    slider->setSingleStep(1);
    slider->setTickInterval(tickInterval);
    slider->setTickPosition(QSlider::TicksBelow);
    return slider;
}

// The horizontal centre of a slider's tick, in its parent's coordinates.
int TickCentre(const QSlider* slider, int value) {
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    const int handle = slider->style()->pixelMetric(QStyle::PM_SliderLength, &option, slider);
    const int span = slider->width() - handle;
    return slider->x() + handle / 2 +
           QStyle::sliderPositionFromValue(slider->minimum(), slider->maximum(), value, span);
}

void SelectPosition(QComboBox* list, int position) {
    list->setCurrentIndex(position >= 0 && position < list->count() ? position : -1);
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return Q(a).compare(Q(b), Qt::CaseInsensitive) == 0;
}

std::vector<std::string> ItemsOf(const QComboBox* list) {
    std::vector<std::string> items;
    for (int i = 0; i < list->count(); ++i) items.push_back(list->itemText(i).toStdString());
    return items;
}

}  // namespace

TEncSetDlg::TEncSetDlg(std::filesystem::path& currentProfilePath, ProfileEditorServices services,
                       QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint),
      currentProfilePath_(currentProfilePath),
      services_(std::move(services)) {
    setFont(JapaneseUiFont());
    setFixedSize(281, 420);
    buildAudioGroup();
    buildVideoGroup();
    buildButtons();

    setTabOrder(amode, abrate);
    setTabOrder(abrate, apeak);
    setTabOrder(apeak, vmode);
    setTabOrder(vmode, vbrate);
    setTabOrder(vbrate, vfrate);
    setTabOrder(vfrate, vquality);
    setTabOrder(vquality, vkey);
    setTabOrder(vkey, vpeak);
    setTabOrder(vpeak, vsize);
    setTabOrder(vsize, vfill);
    setTabOrder(vfill, vpform);
    setTabOrder(vpform, pperform);
    setTabOrder(pperform, OKBtn);
    setTabOrder(OKBtn, Button1);
    setTabOrder(Button1, CancelBtn);
    amode->setFocus();

    FormCreate();
}

void TEncSetDlg::buildAudioGroup() {
    XpGroupBox1 = new TXpGroupBox(tr("オーディオ"), this);
    XpGroupBox1->setGeometry(8, 4, 265, RowTop(3) + 4);
    QStringList modes;
    for (const AudioModeInfo& mode : AudioModes()) modes << Q(UiText(mode.text));
    amode = NewList(XpGroupBox1, 0, modes);
    AddLabel(XpGroupBox1, tr("モード"), 0, amode);
    abrate = NewList(XpGroupBox1, 1);
    AddLabel(XpGroupBox1, tr("ビットレート"), 1, abrate);
    apeak = NewNumberField(XpGroupBox1, 2, 60, EditorKeyFilter::Digits);  // EditKeyPress
    AddLabel(XpGroupBox1, tr("ピーク"), 2, apeak);
    AddUnit(XpGroupBox1, QStringLiteral("kbps"), apeak);
    connect(amode, &QComboBox::activated, this, &TEncSetDlg::amodeChange);
}

void TEncSetDlg::buildVideoGroup() {
    XpGroupBox2 = new TXpGroupBox(tr("ビデオ"), this);
    auto* group = XpGroupBox2;

    QStringList modes;
    for (const VideoModeInfo& mode : VideoModes()) modes << Q(UiText(mode.text));
    vmode = NewList(group, 0, modes);
    AddLabel(group, tr("モード"), 0, vmode);

    vbrate = NewNumberField(group, 1, 100, EditorKeyFilter::BitRates);  // vbrateKeyPress
    AddLabel(group, tr("ビットレート"), 1, vbrate);
    AddUnit(group, QStringLiteral("kbps"), vbrate);

    vfrate = new QComboBox(group);
    vfrate->setEditable(true);
    vfrate->setInsertPolicy(QComboBox::NoInsert);
    vfrate->setGeometry(kFieldLeft, RowTop(2), 60, kRowHeight);
    vfrate->addItems({QString(), QStringLiteral("7.5"), QStringLiteral("10"), QStringLiteral("15"),
                      QStringLiteral("24"), QStringLiteral("29.97"), QStringLiteral("30"), QStringLiteral("60")});
    InstallNumberFilter(vfrate->lineEdit(), EditorKeyFilter::FrameRate);  // vfrateKeyPress
    AddLabel(group, tr("フレームレート"), 2, vfrate);
    AddUnit(group, QStringLiteral("fps"), vfrate);

    vquality = NewSlider(group, 3, 130, kVideoQualityMax, 5, 10);
    AddLabel(group, tr("品質"), 3, vquality);
    vqua = new QLabel(QStringLiteral("0"), group);
    vqua->setGeometry(vquality->x() + vquality->width() + 6, RowTop(3), 30, kRowHeight);
    connect(vquality, &QSlider::valueChanged, this, &TEncSetDlg::vqualityChange);

    vkey = NewNumberField(group, 4, 60, EditorKeyFilter::Digits);
    AddLabel(group, tr("キーフレーム"), 4, vkey);
    AddUnit(group, QStringLiteral("sec"), vkey);
    vpeak = NewNumberField(group, 5, 60, EditorKeyFilter::Digits);
    AddLabel(group, tr("ピーク"), 5, vpeak);
    AddUnit(group, QStringLiteral("kbps"), vpeak);

    vsize = NewList(group, 6, {tr("そのまま"), QStringLiteral("720x480"), QStringLiteral("640x480"),
                               QStringLiteral("352x288"), QStringLiteral("352x240"), QStringLiteral("320x240"),
                               QStringLiteral("256x240"), QStringLiteral("176x144"), QStringLiteral("176x120"),
                               QStringLiteral("160x120"), tr("カスタム")});
    AddLabel(group, tr("サイズ"), 6, vsize);

    QStringList filters;
    for (std::string_view name : VideoFilterNames) filters << Q(UiText(name));
    vfill = NewList(group, 7, filters);
    AddLabel(group, tr("フィルタ"), 7, vfill);
    WidenPopup(vfill);

    QStringList formats{tr("自動")};
    for (std::string_view name : PixelFormatNames) formats << Q(name);
    vpform = NewList(group, 8, formats);
    AddLabel(group, tr("フォーマット"), 8, vpform);

    pperform = NewSlider(group, 9, kListWidth, kPerformanceMax, 1, 1);
    AddLabel(group, tr("パフォーマンス"), 9, pperform);
    const int numbersTop = pperform->y() + pperform->height() + 1;
    for (int step = 0; step <= kPerformanceMax; ++step) {
        auto* tick = new QLabel(QString::number(step * 20), group);
        tick->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        tick->setGeometry(TickCentre(pperform, step) - 12, numbersTop, 24, 14);
    }
    auto* fast = new QLabel(tr("速い"), group);
    fast->setGeometry(pperform->x(), numbersTop + 14, 60, 14);
    auto* quality = new QLabel(tr("高品質"), group);
    quality->setAlignment(Qt::AlignRight | Qt::AlignTop);
    // Taller than the line it sits on, so that a descender ("Quality") is not
    // cut; top-aligned, the text stays where it was.
    quality->setGeometry(pperform->x() + pperform->width() - 60, numbersTop + 14, 60, 18);

    group->setGeometry(8, XpGroupBox1->y() + XpGroupBox1->height() + 4, 265, numbersTop + 14 + 14 + 8);

    connect(vmode, &QComboBox::activated, this, &TEncSetDlg::vmodeChange);
    connect(vsize, &QComboBox::activated, this, &TEncSetDlg::vsizeChange);
}

void TEncSetDlg::buildButtons() {
    const int top = XpGroupBox2->y() + XpGroupBox2->height() + 8;
    OKBtn = new QPushButton(tr("保存"), this);
    OKBtn->setGeometry(36, top, 75, 25);
    OKBtn->setDefault(true);
    Button1 = new QPushButton(tr("別名保存"), this);
    Button1->setGeometry(119, top, 75, 25);
    CancelBtn = new QPushButton(tr("キャンセル"), this);
    CancelBtn->setGeometry(202, top, 75, 25);
    connect(OKBtn, &QPushButton::clicked, this, &TEncSetDlg::OKBtnClick);
    connect(Button1, &QPushButton::clicked, this, &TEncSetDlg::Button1Click);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TEncSetDlg::FormCreate() {
    settings_ = LoadProfile(currentProfilePath_);
    const ProfileSettings& s = settings_;

    fillAudioRates(s.AudioMode);
    abrate->setCurrentIndex(-1);
    audioChoice_ = AudioModeChoice(s.AudioMode);
    pendingWidth_ = Q(s.CustomWidth);
    pendingHeight_ = Q(s.CustomHeight);
    vsize->setItemText(kCustomSizeItem, Q(CustomSizeItemText(s.CustomWidth, s.CustomHeight)));

    // Setting positions here runs none of the change handlers (they follow
    // the user's picks only); the quality label does follow its slider.
    SelectPosition(amode, s.AudioMode);
    SelectPosition(abrate, s.AudioSetting);
    apeak->setText(Q(s.AudioPeak));
    SelectPosition(vmode, s.VideoMode);
    vbrate->setText(Q(s.VideoBitrate));
    vquality->setValue(ClampToSlider(s.VideoQuality, kVideoQualityMax));
    vqualityChange();
    vfrate->setCurrentIndex(vfrate->findText(Q(s.FrameRate)));
    vfrate->setEditText(Q(s.FrameRate));
    vkey->setText(Q(s.KeyFrame));
    vpeak->setText(Q(s.VideoPeak));
    SelectPosition(vsize, s.VideoSize);
    SelectPosition(vpform, s.PixelFormat);
    SelectPosition(vfill, s.VideoFilter);
    pperform->setValue(ClampToSlider(s.Performance, kPerformanceMax));

    PlaceFrame(*this, [area = services_.workArea, cursor = services_.cursor](int width, int height) {
        return ClampIntoWorkArea(CentredOn(cursor.x(), cursor.y(), width, height), area);
    });
}

void TEncSetDlg::fillAudioRates(int audioMode) {
    abrate->clear();
    for (const AudioSettingRow& row : AudioModeRowsOf(audioMode).rows) abrate->addItem(Q(row.description));
    WidenPopup(abrate);
}

void TEncSetDlg::amodeChange() {
    const auto rows = audioChoice_.pick(amode->currentIndex());
    if (!rows) return;  // the same mode again: the chosen row stays
    fillAudioRates(amode->currentIndex());
    abrate->setCurrentIndex(rows->defaultRow.value_or(-1));
}

void TEncSetDlg::vmodeChange() {
    if (const auto quality = QualityPresetOfVideoMode(vmode->currentIndex())) vquality->setValue(*quality);
}

void TEncSetDlg::vqualityChange() { vqua->setText(QString::number(vquality->value())); }

void TEncSetDlg::vsizeChange() {
    if (vsize->currentIndex() != kCustomSizeItem) return;
    QWidget* owner = parentWidget() != nullptr ? parentWidget() : this;
    TVsizeDlg dialog(pendingWidth_, pendingHeight_, this, owner);
    if (dialog.exec() != QDialog::Accepted) return;  // the previous size stays
    pendingWidth_ = dialog.vwidth->text();
    pendingHeight_ = dialog.vheight->text();
    vsize->setItemText(kCustomSizeItem,
                       Q(CustomSizeItemText(pendingWidth_.toStdString(), pendingHeight_.toStdString())));
    vsize->setCurrentIndex(kCustomSizeItem);
}

bool TEncSetDlg::SaveProfile() {
    ProfileSettings s;
    s.AudioMode = amode->currentIndex();
    s.AudioSetting = abrate->currentIndex();
    s.AudioPeak = apeak->text().toStdString();
    s.VideoMode = vmode->currentIndex();
    s.VideoBitrate = vbrate->text().toStdString();
    s.VideoQuality = vquality->value();
    s.FrameRate = vfrate->currentText().toStdString();
    s.KeyFrame = vkey->text().toStdString();
    s.VideoPeak = vpeak->text().toStdString();
    s.VideoSize = vsize->currentIndex();
    s.PixelFormat = vpform->currentIndex();
    s.VideoFilter = vfill->currentIndex();
    s.Performance = pperform->value();
    s.CustomWidth = pendingWidth_.toStdString();
    s.CustomHeight = pendingHeight_.toStdString();
    if (!WriteProfile(currentProfilePath_, s)) {
        services_.messages->warning(kMessageCaption, UiText(kSaveFailedMessage));
        return false;
    }
    settings_ = s;
    return true;
}

void TEncSetDlg::OKBtnClick() {
    if (SaveProfile()) accept();
}

void TEncSetDlg::Button1Click() {
    const auto typed = services_.inputBox->ask(kMessageCaption, UiText(kNewProfileNamePrompt), std::string());
    if (!typed) return;
    const std::string cleaned = CleanProfileName(*typed, *services_.codePage);
    if (cleaned.empty()) return;  // nothing usable typed: no message, nothing saved

    const std::filesystem::path remembered = currentProfilePath_;
    const std::filesystem::path dir = currentProfilePath_.parent_path();
    const std::vector<std::string> listed =
        services_.proList != nullptr ? ItemsOf(services_.proList) : std::vector<std::string>{};
    const std::string name = SaveAsProfileName(cleaned, ProfileFileNames(dir), listed, SameIgnoringCase);
    currentProfilePath_ = ProfilePath(dir, name);

    std::error_code ec;
    if (std::filesystem::exists(currentProfilePath_, ec) &&
        !services_.messages->question(kMessageCaption, UiText(kOverwriteQuestion))) {
        currentProfilePath_ = remembered;
        return;
    }
    if (!SaveProfile()) {
        currentProfilePath_ = remembered;
        return;
    }
    selectSavedProfile(name);
    accept();
}

void TEncSetDlg::selectSavedProfile(const std::string& name) {
    QComboBox* list = services_.proList;
    if (list == nullptr) return;
    {
        // The selection is made quietly; the change handling runs once after.
        const QSignalBlocker quiet(list);
        const auto found = FindProfileName(ItemsOf(list), name, SameIgnoringCase);
        if (found) {
            list->setCurrentIndex(static_cast<int>(*found));
        } else {
            list->addItem(Q(name));
            list->setCurrentIndex(list->count() - 1);
        }
    }
    if (services_.proListChange) services_.proListChange();
}

}  // namespace qorvane
