#include "KeyTable.h"

#include <algorithm>
#include <array>

std::span<const KeyTable::Row> KeyTable::rows() {
    using K = QKeySequence;
    static const std::array table{
        Row{Action::Save,
            {Qt::CTRL | Qt::Key_S},
            K::Save,
            u"絵をファイルに保存する（PNG、JPEG、BMP）"},
        Row{Action::KeepDrawing,
            {Qt::CTRL | Qt::SHIFT | Qt::Key_S},
            K::SaveAs,
            u"絵を、かいた順序ごとファイルに残す（.quenzel）"},
        Row{Action::Open,
            {Qt::CTRL | Qt::Key_O},
            K::Open,
            u"残した絵（.quenzel）か画像を開いて、続きをかく"},
        Row{Action::Copy,
            {Qt::CTRL | Qt::Key_C},
            K::Copy,
            u"絵をクリップボードにコピーする（文字を選んだ入力欄では、その文字）"},
        Row{Action::Print, {Qt::CTRL | Qt::Key_P}, K::Print, u"絵を印刷する"},
        Row{Action::Undo,
            {Qt::CTRL | Qt::Key_Z},
            K::Undo,
            u"最後にかいたものを取り消す（入力欄では、打った文字を取り消す）"},
        // Ctrl+Y too, as most desktops outside the X11 world know it.
        Row{Action::Redo,
            {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Qt::CTRL | Qt::Key_Y},
            K::Redo,
            u"取り消したものをやり直す（入力欄では、打った文字をやり直す）"},
        Row{Action::ShowKeys,
            {QKeyCombination(Qt::Key_F1)},
            K::HelpContents,
            u"このキーの一覧を開く（Esc か F1 で閉じる）"},
        Row{Action::ExportFilm,
            {Qt::CTRL | Qt::Key_E},
            K::UnknownKey,
            u"絵をかいたようすを動画に書き出す（WebP、MP4）"},
        Row{Action::Controls,
            {QKeyCombination(Qt::Key_Tab), Qt::SHIFT | Qt::Key_Tab},
            K::UnknownKey,
            u"次の（Shift では前の）ボタンや入力欄に移る"},
        Row{Action::Controls,
            {QKeyCombination(Qt::Key_Space), QKeyCombination(Qt::Key_Return),
             QKeyCombination(Qt::Key_Enter)},
            K::UnknownKey,
            u"選ばれているボタンを押す（ペンのボタンはマウスだけ）"},
    };
    return table;
}

const KeyTable::Row& KeyTable::row(Action action) {
    return *std::ranges::find(rows(), action, &Row::action);
}

QString KeyTable::keyText(const Row& row) {
    QStringList texts;
    for (const QKeyCombination key : row.keys)
        texts << QKeySequence(key).toString(QKeySequence::PortableText);
    return texts.join(u", ");
}

QList<QKeySequence> KeyTable::boundKeys(const Row& row) {
    QList<QKeySequence> keys(row.keys.begin(), row.keys.end());
    for (const QKeySequence& key : QKeySequence::keyBindings(row.standard))
        if (!keys.contains(key)) keys << key;
    return keys;
}
