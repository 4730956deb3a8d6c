// What the program needs from its surroundings: messages, questions, the
// hourglass, key state and progress text. The window implements it with Qt,
// the command line with stderr, the tests with a recorder.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vaultra {

enum class MsgKind { kInfo, kWarning, kError };

struct KeyState {
  bool ctrl = false;
  bool alt = false;
  bool shift = false;
};

class Ui {
 public:
  virtual ~Ui() = default;
  // Texts are cp932.
  virtual void Tell(MsgKind kind, const std::string& text) = 0;
  // An OK / Cancel question; true for OK.
  virtual bool Ask(const std::string& text) = 0;
  // An input box; empty when cancelled.
  virtual std::optional<std::string> InputText(const std::string& title, const std::string& prompt,
                                               const std::string& initial) = 0;
  virtual void Hourglass(bool /*on*/) {}
  virtual void Progress(const std::string& /*text*/) {}
  virtual KeyState Keys() const { return {}; }
};

// A list of messages as it is shown: one entry per distinct problem (texts
// that differ only in the line number they start with, "12 行目: ...", are
// one problem, told at its first line with the count of its repeats), at
// most max_entries entries and a last one that counts the rest (cp932).
std::vector<std::string> BoundedMessages(const std::vector<std::string>& texts,
                                         std::size_t max_entries = 40);

// Messages to stderr in UTF-8; questions answered with a fixed reply.
class StderrUi : public Ui {
 public:
  explicit StderrUi(bool answer = true) : answer_(answer) {}
  void Tell(MsgKind kind, const std::string& text) override;
  bool Ask(const std::string& text) override;
  std::optional<std::string> InputText(const std::string&, const std::string&,
                                       const std::string&) override {
    return std::nullopt;
  }
  KeyState keys;
  KeyState Keys() const override { return keys; }
  // How many errors were told so far.
  int ErrorCount() const { return errors_; }

 private:
  bool answer_;
  int errors_ = 0;
};

// Records every message and question; answers from a script.
class RecordingUi : public Ui {
 public:
  struct Message {
    MsgKind kind;
    std::string text;
  };
  void Tell(MsgKind kind, const std::string& text) override { messages.push_back({kind, text}); }
  bool Ask(const std::string& text) override {
    questions.push_back(text);
    return answer;
  }
  std::optional<std::string> InputText(const std::string&, const std::string& prompt,
                                       const std::string&) override {
    questions.push_back(prompt);
    return input;
  }
  KeyState Keys() const override { return keys; }

  std::vector<Message> messages;
  std::vector<std::string> questions;
  bool answer = true;
  std::optional<std::string> input;
  KeyState keys;
};

}  // namespace vaultra
