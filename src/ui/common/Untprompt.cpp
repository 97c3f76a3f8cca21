#include "ui/common/Untprompt.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace qingheng {
namespace {

QMessageBox::Icon toQtIcon(PromptIcon icon) {
    switch (icon) {
        case PromptIcon::Information:
            return QMessageBox::Information;
        case PromptIcon::Warning:
            return QMessageBox::Warning;
        case PromptIcon::Stop:
            return QMessageBox::Critical;
        case PromptIcon::Question:
            return QMessageBox::Question;
        case PromptIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// "Label|*.ext|Label2|*.ext2" → Qt's "Label (*.ext);;Label2 (*.ext2)".
QStringList toQtFilters(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) out << QStringLiteral("%1 (%2)").arg(parts[i], parts[i + 1]);
    return out;
}

// The buttons of a message box in the user's words, whatever the system's language.
void nameButtons(QMessageBox& box) {
    const std::pair<QMessageBox::StandardButton, const char*> names[] = {{QMessageBox::Ok, "确定"},
                                                                         {QMessageBox::Cancel, "取消"},
                                                                         {QMessageBox::Yes, "是(&Y)"},
                                                                         {QMessageBox::No, "否(&N)"}};
    for (const auto& [button, name] : names) {
        if (QAbstractButton* b = box.button(button)) b->setText(QString::fromUtf8(name));
    }
}

class QtPrompts final : public PromptService {
public:
    void message(QWidget* parent, const QString& text, const QString& caption, PromptIcon icon) override {
        QMessageBox box(toQtIcon(icon), caption, text, QMessageBox::Ok, parent);
        nameButtons(box);
        box.exec();
    }

    bool question(QWidget* parent, const QString& text, const QString& caption, PromptIcon icon,
                  DefaultAnswer def) override {
        QMessageBox box(toQtIcon(icon), caption, text, QMessageBox::Yes | QMessageBox::No, parent);
        nameButtons(box);
        box.setDefaultButton(def == DefaultAnswer::No ? QMessageBox::No : QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes;
    }

    Answer questionWithCancel(QWidget* parent, const QString& text, const QString& caption) override {
        QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                        parent);
        nameButtons(box);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        switch (box.exec()) {
            case QMessageBox::Yes:
                return Answer::Yes;
            case QMessageBox::No:
                return Answer::No;
            default:
                return Answer::Cancel;
        }
    }

    std::optional<QString> inputText(QWidget* parent, const QString& caption, const QString& prompt,
                                     const QString& initial) override {
        QInputDialog dialog(parent);
        dialog.setWindowTitle(caption);
        dialog.setLabelText(prompt);
        dialog.setTextValue(initial);
        dialog.setOkButtonText(QStringLiteral("确定"));
        dialog.setCancelButtonText(QStringLiteral("取消"));
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.textValue();
    }

    QString openFile(QWidget* parent, const QString& filter, const QString& presetName, int* chosenFilter) override {
        const QStringList filters = toQtFilters(filter);
        QString selected = filters.value(0);
        const QString path =
            QFileDialog::getOpenFileName(parent, QStringLiteral("打开"), presetName, filters.join(";;"), &selected);
        if (chosenFilter) *chosenFilter = std::max(0, static_cast<int>(filters.indexOf(selected)));
        return path;
    }

    QString saveFile(QWidget* parent, const QString& filter, int* chosenFilter) override {
        const QStringList filters = toQtFilters(filter);
        QString selected = filters.value(0);
        QFileDialog dialog(parent, QStringLiteral("另存为"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters(filters);
        dialog.setOption(QFileDialog::DontUseNativeDialog, false);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        if (chosenFilter) *chosenFilter = std::max(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
        return dialog.selectedFiles().front();
    }

    QString chooseFolder(QWidget* parent, const QString& caption) override {
        return QFileDialog::getExistingDirectory(parent, caption);
    }

    std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) override {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, initial, parent);
        if (!ok) return std::nullopt;
        return font;
    }

    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override {
        const QColor color = QColorDialog::getColor(initial, parent);
        if (!color.isValid()) return std::nullopt;
        return color;
    }

    bool choosePrinter(QWidget* parent, QPrinter& printer) override {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }
};

std::unique_ptr<PromptService>& serviceSlot() {
    static std::unique_ptr<PromptService> service = std::make_unique<QtPrompts>();
    return service;
}

template <typename T>
T takeFront(std::deque<T>& queue, T fallback) {
    if (!queue.empty()) {
        fallback = std::move(queue.front());
        queue.pop_front();
    }
    return fallback;
}

}  // namespace

PromptService& prompts() { return *serviceSlot(); }

void setPrompts(std::unique_ptr<PromptService> service) {
    serviceSlot() = service ? std::move(service) : std::make_unique<QtPrompts>();
}

void ScriptedPrompts::message(QWidget*, const QString& text, const QString& caption, PromptIcon icon) {
    shown.push_back({"message", caption, text, icon, DefaultAnswer::Yes});
}

bool ScriptedPrompts::question(QWidget*, const QString& text, const QString& caption, PromptIcon icon,
                               DefaultAnswer def) {
    shown.push_back({"question", caption, text, icon, def});
    return takeFront(questionAnswers, false);
}

Answer ScriptedPrompts::questionWithCancel(QWidget*, const QString& text, const QString& caption) {
    shown.push_back({"choice", caption, text, PromptIcon::Warning, DefaultAnswer::Yes});
    return takeFront(choiceAnswers, Answer::Cancel);
}

std::optional<QString> ScriptedPrompts::inputText(QWidget*, const QString& caption, const QString& prompt,
                                                  const QString&) {
    shown.push_back({"input", caption, prompt, PromptIcon::None, DefaultAnswer::Yes});
    return takeFront(inputAnswers, std::optional<QString>{});
}

QString ScriptedPrompts::openFile(QWidget*, const QString& filter, const QString& presetName, int* chosenFilter) {
    shown.push_back({"open", presetName, filter, PromptIcon::None, DefaultAnswer::Yes});
    const auto [path, index] = takeFront(fileAnswers, std::pair<QString, int>{});
    if (chosenFilter) *chosenFilter = index;
    return path;
}

QString ScriptedPrompts::saveFile(QWidget*, const QString& filter, int* chosenFilter) {
    shown.push_back({"save", QString(), filter, PromptIcon::None, DefaultAnswer::Yes});
    const auto [path, index] = takeFront(fileAnswers, std::pair<QString, int>{});
    if (chosenFilter) *chosenFilter = index;
    return path;
}

QString ScriptedPrompts::chooseFolder(QWidget*, const QString& caption) {
    shown.push_back({"folder", caption, QString(), PromptIcon::None, DefaultAnswer::Yes});
    return takeFront(folderAnswers, QString());
}

std::optional<QFont> ScriptedPrompts::chooseFont(QWidget*, const QFont& initial) {
    shown.push_back({"font", QString(), initial.family(), PromptIcon::None, DefaultAnswer::Yes});
    return takeFront(fontAnswers, std::optional<QFont>{});
}

std::optional<QColor> ScriptedPrompts::chooseColor(QWidget*, const QColor& initial) {
    shown.push_back({"color", QString(), initial.name(), PromptIcon::None, DefaultAnswer::Yes});
    return takeFront(colorAnswers, std::optional<QColor>{});
}

bool ScriptedPrompts::choosePrinter(QWidget*, QPrinter& printer) {
    shown.push_back({"print", QString(), QString(), PromptIcon::None, DefaultAnswer::Yes});
    const QString pdf = takeFront(printAnswers, QString());
    if (pdf.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    return true;
}

ScopedScriptedPrompts::ScopedScriptedPrompts() {
    auto script = std::make_unique<ScriptedPrompts>();
    script_ = script.get();
    setPrompts(std::move(script));
}

ScopedScriptedPrompts::~ScopedScriptedPrompts() { setPrompts(nullptr); }

}  // namespace qingheng
