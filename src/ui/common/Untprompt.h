#pragma once
// The prompt service: every message box, question, input box and standard dialog (file,
// folder, font, colour, print) goes through it. The program uses the Qt dialogs; tests
// install ScriptedPrompts, which answers from a script and records what was shown.
#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <deque>
#include <memory>
#include <optional>
#include <vector>

class QWidget;
class QPrinter;

namespace qingheng {

enum class PromptIcon { None, Information, Warning, Stop, Question };

enum class DefaultAnswer { Yes, No };

// The answer to a question that may also be cancelled.
enum class Answer { Yes, No, Cancel };

class PromptService {
public:
    virtual ~PromptService() = default;

    // A message box with an OK button.
    virtual void message(QWidget* parent, const QString& text, const QString& caption, PromptIcon icon) = 0;
    // A Yes/No question; true for Yes.
    virtual bool question(QWidget* parent, const QString& text, const QString& caption, PromptIcon icon,
                          DefaultAnswer def = DefaultAnswer::Yes) = 0;
    // A Yes/No/Cancel question with a warning icon (是, 否, 取消).
    virtual Answer questionWithCancel(QWidget* parent, const QString& text, const QString& caption) = 0;
    // The usual prompts, with the caption and icon each kind of message carries.
    void info(QWidget* parent, const QString& text, const QString& caption = QStringLiteral("提示")) {
        message(parent, text, caption, PromptIcon::Information);
    }
    void warn(QWidget* parent, const QString& text, const QString& caption = QStringLiteral("注意")) {
        message(parent, text, caption, PromptIcon::Warning);
    }
    void stop(QWidget* parent, const QString& text, const QString& caption = QStringLiteral("错误")) {
        message(parent, text, caption, PromptIcon::Stop);
    }
    // A Yes/No question with a warning icon; destructive questions pass DefaultAnswer::No.
    bool ask(QWidget* parent, const QString& text, const QString& caption = QStringLiteral("提示"),
             DefaultAnswer def = DefaultAnswer::Yes) {
        return question(parent, text, caption, PromptIcon::Warning, def);
    }
    // An input box; nullopt on cancel.
    virtual std::optional<QString> inputText(QWidget* parent, const QString& caption, const QString& prompt,
                                             const QString& initial) = 0;
    // File dialogs. filters are "Label|*.ext" pairs joined by '|' ("all.dat|*.dat|RTF|*.rtf");
    // chosenFilter receives the 0-based index of the filter used. Empty on cancel.
    virtual QString openFile(QWidget* parent, const QString& filter, const QString& presetName,
                             int* chosenFilter = nullptr) = 0;
    virtual QString saveFile(QWidget* parent, const QString& filter, int* chosenFilter = nullptr) = 0;
    virtual QString chooseFolder(QWidget* parent, const QString& caption) = 0;
    virtual std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) = 0;
    virtual std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) = 0;
    // The print dialog for the printer; false on cancel.
    virtual bool choosePrinter(QWidget* parent, QPrinter& printer) = 0;
};

// The service in use (the Qt dialogs unless a test installed another).
PromptService& prompts();
void setPrompts(std::unique_ptr<PromptService> service);

// What a scripted prompt recorded.
struct ShownPrompt {
    QString kind;  // "message", "question", "choice", "input", "open", "save", "folder", "font", "color", "print"
    QString caption;
    QString text;
    PromptIcon icon = PromptIcon::None;
    DefaultAnswer defaultAnswer = DefaultAnswer::Yes;
};

// Answers prompts from queues filled by a test; an empty queue gives the "cancel" answer
// (No, nullopt, empty text). Every prompt is recorded in shown.
class ScriptedPrompts : public PromptService {
public:
    std::deque<bool> questionAnswers;
    std::deque<Answer> choiceAnswers;  // for questionWithCancel; empty: Cancel
    std::deque<std::optional<QString>> inputAnswers;
    std::deque<std::pair<QString, int>> fileAnswers;  // path and filter index, for open and save
    std::deque<QString> folderAnswers;
    std::deque<std::optional<QFont>> fontAnswers;
    std::deque<std::optional<QColor>> colorAnswers;
    std::deque<QString> printAnswers;  // PDF file to print into; empty = cancel
    std::vector<ShownPrompt> shown;

    void message(QWidget*, const QString& text, const QString& caption, PromptIcon icon) override;
    bool question(QWidget*, const QString& text, const QString& caption, PromptIcon icon, DefaultAnswer def) override;
    Answer questionWithCancel(QWidget*, const QString& text, const QString& caption) override;
    std::optional<QString> inputText(QWidget*, const QString& caption, const QString& prompt,
                                     const QString& initial) override;
    QString openFile(QWidget*, const QString& filter, const QString& presetName, int* chosenFilter) override;
    QString saveFile(QWidget*, const QString& filter, int* chosenFilter) override;
    QString chooseFolder(QWidget*, const QString& caption) override;
    std::optional<QFont> chooseFont(QWidget*, const QFont& initial) override;
    std::optional<QColor> chooseColor(QWidget*, const QColor& initial) override;
    bool choosePrinter(QWidget*, QPrinter& printer) override;

    // The last recorded prompt's text, or empty.
    QString lastText() const { return shown.empty() ? QString() : shown.back().text; }
};

// Installs a ScriptedPrompts for the life of the object and restores the Qt dialogs after.
class ScopedScriptedPrompts {
public:
    ScopedScriptedPrompts();
    ~ScopedScriptedPrompts();
    ScriptedPrompts& operator*() { return *script_; }
    ScriptedPrompts* operator->() { return script_; }

private:
    ScriptedPrompts* script_;
};

}  // namespace qingheng
