#pragma once
// The program's message boxes: a caption, a text, a warning icon and an OK
// button (Yes and No for a question). Behind an interface so that tests and
// scripted runs can answer them.

#include <functional>
#include <iosfwd>
#include <string>

namespace qorvane {

// The caption of every message box of the program.
inline constexpr const char* kMessageCaption = "qorv";

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows the warning and returns when the user has dismissed it.
    virtual void warning(const std::string& caption, const std::string& text) = 0;
    // A warning with a further button, `detailsButton`, beside OK: when the
    // user leaves the box by it, `showDetails` runs. A box that cannot offer
    // the button (a stream, a scripted answer) shows the plain warning.
    virtual void warningWithDetails(const std::string& caption, const std::string& text,
                                    const std::string& detailsButton, const std::function<void()>& showDetails) {
        (void)detailsButton;
        (void)showDetails;
        warning(caption, text);
    }
    // A warning shown without waiting for it: returns at once, and the box
    // stays until the user dismisses it. For a thread that must not be held
    // up by the reader. A box that cannot stay (a stream, a scripted answer)
    // shows the plain warning.
    virtual void notice(const std::string& caption, const std::string& text) { warning(caption, text); }
    // Asks with the buttons Yes and No (warning icon); true for Yes.
    virtual bool question(const std::string& caption, const std::string& text) = 0;
};

// Writes each box as one line "caption: text" to a stream instead of showing
// it, and returns at once as if OK had been pressed; a question is answered
// No, which never overwrites anything, unless told to answer Yes. For
// scripted runs.
class StreamMessageBoxes final : public MessageBoxes {
public:
    explicit StreamMessageBoxes(std::ostream& out, bool answerYes = false) : out_(out), answerYes_(answerYes) {}
    void warning(const std::string& caption, const std::string& text) override;
    bool question(const std::string& caption, const std::string& text) override;

private:
    std::ostream& out_;
    bool answerYes_;
};

}  // namespace qorvane
