#pragma once
// The pickers the windows open: a folder, and a sound file. Behind an
// interface so that tests can answer them.

#include <QString>
#include <optional>

class QWidget;

namespace qorvane {

class Pickers {
public:
    virtual ~Pickers() = default;
    // The folder the user confirmed, or nothing when cancelled.
    virtual std::optional<QString> chooseFolder(QWidget* owner, const QString& startFolder) = 0;
    // The full path of the sound file picked ("音の選択", *.wav), or nothing.
    virtual std::optional<QString> chooseSoundFile(QWidget* owner, const QString& initialDir) = 0;
};

class QtPickers final : public Pickers {
public:
    std::optional<QString> chooseFolder(QWidget* owner, const QString& startFolder) override;
    std::optional<QString> chooseSoundFile(QWidget* owner, const QString& initialDir) override;
};

}  // namespace qorvane
