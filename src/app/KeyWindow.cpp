#include "KeyWindow.h"

#include "KeyTable.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QTableWidgetItem* cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

// Key and what it does, one line a row of the table.
QTableWidget* keyList(QWidget* parent) {
    const std::span<const KeyTable::Row> rows = KeyTable::rows();
    auto* list = new QTableWidget(int(rows.size()), 2, parent);
    list->setHorizontalHeaderLabels({QString::fromUtf16(u"キー"), QString::fromUtf16(u"はたらき")});
    for (int r = 0; r < list->rowCount(); ++r) {
        list->setItem(r, 0, cell(KeyTable::keyText(rows[r])));
        list->setItem(r, 1, cell(QString::fromUtf16(rows[r].what)));
    }
    list->verticalHeader()->hide();
    // Only to read: no cell to choose, and the keys go to the window.
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setFocusPolicy(Qt::NoFocus);
    list->setShowGrid(false);
    // A little air between the rows and after the keys, which Qt's fit leaves out.
    const int em = list->fontMetrics().horizontalAdvance(u'M');
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().lineSpacing() + em / 2);
    list->resizeColumnsToContents();
    list->setColumnWidth(0, list->columnWidth(0) + em);
    list->horizontalHeader()->setStretchLastSection(true);
    // The window is as large as the list, so nothing scrolls.
    list->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return list;
}

} // namespace

KeyWindow::KeyWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setWindowTitle(QString::fromUtf16(u"キーの一覧"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(keyList(this));
}

void KeyWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape || KeyTable::isShowKeys(event->keyCombination()))
        close();
    else
        QWidget::keyPressEvent(event);
}
