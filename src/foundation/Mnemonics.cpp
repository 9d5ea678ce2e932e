#include "foundation/Mnemonics.h"

namespace zav {

namespace {

bool markable(QChar c) {
    return c.unicode() < 128 && c.isLetterOrNumber();
}

} // namespace

QString plainCaption(const QString& caption) {
    QString plain;
    plain.reserve(caption.size());
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            if (caption[i + 1] == '&') {
                plain += QStringLiteral("&&"); // a literal ampersand stays
                ++i;
            }
            continue; // the marker goes; its letter follows
        }
        plain += caption[i];
    }
    return plain;
}

QChar mnemonicOf(const QString& caption) {
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i; // a literal ampersand
            continue;
        }
        return caption[i + 1].toLower();
    }
    return {};
}

QString withMnemonic(const QString& caption, QString& used, QChar preferred) {
    const QString plain = plainCaption(caption);
    auto free = [&](int i) {
        const QChar c = plain[i];
        if (!markable(c) || used.contains(c.toLower())) return false;
        return i == 0 || plain[i - 1] != '&'; // not the second character of "&&"
    };
    int at = -1;
    if (!preferred.isNull())
        for (int i = 0; i < plain.size() && at < 0; ++i)
            if (plain[i].toLower() == preferred.toLower() && free(i)) at = i;
    for (int i = 0; i < plain.size() && at < 0; ++i)
        if ((i == 0 || plain[i - 1] == ' ') && free(i)) at = i;
    for (int i = 0; i < plain.size() && at < 0; ++i)
        if (free(i)) at = i;
    if (at < 0) return plain;
    used += plain[at].toLower();
    return plain.left(at) + '&' + plain.mid(at);
}

QString markedAt(const QString& caption, QChar letter) {
    if (letter.isNull() || !mnemonicOf(caption).isNull()) return caption;
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            ++i; // "&&": a literal ampersand
            continue;
        }
        if (markable(caption[i]) && caption[i].toLower() == letter.toLower())
            return caption.left(i) + '&' + caption.mid(i);
    }
    return caption;
}

} // namespace zav
