#include "ui/reference/Untreading.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>

namespace qingheng {

QPlainTextEdit* makeReadingMemo(QWidget* parent, const char* name) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(name);
    memo->setReadOnly(true);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return memo;
}

CategoryReader buildCategoryReader(QWidget* window, const QString& label, const char* listName, int listWidth,
                                   const char* memoName) {
    CategoryReader reader;
    reader.list = new QListWidget(window);
    reader.list->setObjectName(listName);
    reader.list->setCursor(Qt::PointingHandCursor);
    reader.list->setFixedWidth(listWidth);
    reader.memo = makeReadingMemo(window, memoName);
    reader.grid = new QGridLayout(window);
    reader.grid->addWidget(new QLabel(label, window), 0, 0);
    reader.grid->addWidget(reader.list, 1, 0);
    reader.grid->addWidget(reader.memo, 0, 1, 2, 1);
    reader.grid->setColumnStretch(1, 1);
    return reader;
}

}  // namespace qingheng
