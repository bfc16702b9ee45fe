#pragma once
// The profile editor: one profile's settings in an audio and a video group,
// saved under the profile's own name or under a new one. The dialog loads
// the file CurrentProfilePath names when it is made; nothing the user
// changes reaches the file before a save, so Cancel leaves it as it was.

#include <QDialog>
#include <QPoint>
#include <filesystem>
#include <functional>

#include "platform/desktop.h"
#include "platform/ui_text.h"
#include "profiles/profile_editor_rules.h"
#include "profiles/profile_settings.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace qorvane {

class CodePage;
class InputBox;
class MessageBoxes;
class TXpGroupBox;

inline constexpr const char* kSaveFailedMessage = QORVANE_UI_TEXT("保存できませんでした");
inline constexpr const char* kOverwriteQuestion = QORVANE_UI_TEXT("上書き保存しますか?");
inline constexpr const char* kNewProfileNamePrompt = QORVANE_UI_TEXT("新しい Profile 名の入力");

// What the editor needs from the program around it.
struct ProfileEditorServices {
    MessageBoxes* messages = nullptr;  // the save failure and the overwrite question
    InputBox* inputBox = nullptr;      // the new name for "save as"
    const CodePage* codePage = nullptr;
    WorkArea workArea;
    QPoint cursor;  // the dialog opens centred on it
    // The main window's profile drop-down and its change handling, which a
    // "save as" adds the new name to and then runs once.
    QComboBox* proList = nullptr;
    std::function<void()> proListChange;
};

class TEncSetDlg : public QDialog {
    Q_OBJECT
public:
    // currentProfilePath names the file to edit; "save as" changes it to the
    // new file (and puts it back when that save does not happen).
    TEncSetDlg(std::filesystem::path& currentProfilePath, ProfileEditorServices services,
               QWidget* parent = nullptr);

    // Copies the fields into the profile and writes it to CurrentProfilePath;
    // on failure says so and returns false.
    bool SaveProfile();

    // The settings as last loaded or saved.
    const ProfileSettings& settings() const { return settings_; }
    QString pendingCustomWidth() const { return pendingWidth_; }
    QString pendingCustomHeight() const { return pendingHeight_; }

    TXpGroupBox* XpGroupBox1;
    QComboBox* amode;
    QComboBox* abrate;
    QLineEdit* apeak;
    TXpGroupBox* XpGroupBox2;
    QComboBox* vmode;
    QLineEdit* vbrate;
    QComboBox* vfrate;
    QSlider* vquality;
    QLabel* vqua;
    QLineEdit* vkey;
    QLineEdit* vpeak;
    QComboBox* vsize;
    QComboBox* vfill;
    QComboBox* vpform;
    QSlider* pperform;
    QPushButton* OKBtn;
    QPushButton* Button1;
    QPushButton* CancelBtn;

public slots:
    void amodeChange();
    void vmodeChange();
    void vqualityChange();
    void vsizeChange();
    void OKBtnClick();
    void Button1Click();

private:
    void buildAudioGroup();
    void buildVideoGroup();
    void buildButtons();
    void FormCreate();
    void fillAudioRates(int audioMode);
    void selectSavedProfile(const std::string& name);

    std::filesystem::path& currentProfilePath_;
    ProfileEditorServices services_;
    ProfileSettings settings_;
    AudioModeChoice audioChoice_{0};
    QString pendingWidth_;
    QString pendingHeight_;
};

}  // namespace qorvane
