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
            u"残した絵（."
            u"quenzel）か画像を開いて、続きをかく（残した絵は、かいたようすを見せてから）"},
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
        Row{Action::PlayPause,
            {QKeyCombination(Qt::Key_Space)},
            K::UnknownKey,
            u"絵をかいたようすを見ている間：止める、また動かす"},
        Row{Action::PlayFaster,
            {QKeyCombination(Qt::Key_Plus)},
            K::UnknownKey,
            u"見ている間：速くする（×1、×2、×4、×8、×16、×64）"},
        Row{Action::PlaySlower,
            {QKeyCombination(Qt::Key_Minus)},
            K::UnknownKey,
            u"見ている間：遅くする"},
        Row{Action::PlayFromStart,
            {QKeyCombination(Qt::Key_Home)},
            K::UnknownKey,
            u"見ている間：最初にもどる"},
        Row{Action::PlayToEnd,
            {QKeyCombination(Qt::Key_End)},
            K::UnknownKey,
            u"見ている間：最後まで進む（そこから続きをかける）"},
        Row{Action::PlayStop,
            {QKeyCombination(Qt::Key_Escape)},
            K::UnknownKey,
            u"見るのをやめて、最後の絵から続きをかく"},
    };
    return table;
}

const KeyTable::Row& KeyTable::row(Action action) {
    return *std::ranges::find(rows(), action, &Row::action);
}

std::optional<KeyTable::Action> KeyTable::playingKey(int key) {
    for (const Row& row : rows())
        if (whilePlaying(row.action) &&
            std::ranges::any_of(row.keys, [key](QKeyCombination k) { return k.key() == key; }))
            return row.action;
    return std::nullopt;
}

bool KeyTable::isShowKeys(QKeyCombination key) {
    return boundKeys(row(Action::ShowKeys)).contains(QKeySequence(key));
}

bool KeyTable::isModifier(int key) {
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
        return true;
    default:
        return false;
    }
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
