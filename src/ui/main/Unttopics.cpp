// The main window's eight topic buttons and the judgement they put into the side pane.
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QToolButton>

#include "ui/common/Untprompt.h"
#include "ui/common/Unttext.h"
#include "ui/main/Untmain.h"

namespace qingheng {
namespace {

// Object names of the buttons, in topic order (财运 … 婚姻).
constexpr std::array<const char*, kTopicCount> kTopicButtonNames = {
    "SbtoCaiYun", "SbtoXingRen", "SbtoFangWu", "SbtoJiBing", "SbtoTianQi", "SbtoKaoXue", "SbtoShengYi", "SbtoHunYun"};

}  // namespace

void TFrmMain::buildTopicButtons(QWidget* parent, QHBoxLayout* row) {
    for (Topic t = 0; t < kTopicCount; ++t) {
        auto* button = new QToolButton(parent);
        button->setObjectName(kTopicButtonNames[t]);
        button->setText(qstr(TopicName(t)));
        button->setToolTip(qstr(TopicName(t)) + QStringLiteral("预测"));
        // Reached with Tab and pressed with Space like the other buttons of the row.
        button->setFocusPolicy(Qt::StrongFocus);
        connect(button, &QToolButton::clicked, this, [this, t] { topicJudgement(t); });
        row->addWidget(button);
    }
}

void TFrmMain::topicJudgement(Topic topic) {
    if (!chartValid()) {
        prompts().info(this, QStringLiteral("请先起一个正确的卦"));
        return;
    }
    MeoDec->setPlainText(storedToMemo(TopicJudgement(engine_->chart(), topic)));
}

}  // namespace qingheng
