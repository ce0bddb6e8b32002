#include "core/speech/sentences.h"

#include <algorithm>

namespace {

bool IsLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// U+0020, the ideographic space and tabs: what a line is indented with.
bool IsSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\u3000' || c == u'\u00a0';
}

bool EndsSentence(QChar c)
{
    switch (c.unicode()) {
    case u'。':
    case u'！':
    case u'？':
    case u'；':
    case u'…':
    case u'!':
    case u'?':
    case u';':
    case u'．': return true;
    default: return false;
    }
}

bool Closes(QChar c)
{
    switch (c.unicode()) {
    case u'”':
    case u'’':
    case u'」':
    case u'』':
    case u'）':
    case u'】':
    case u'》':
    case u'〕':
    case u')':
    case u'"':
    case u'\'': return true;
    default: return false;
    }
}

// Decoration and bare punctuation have nothing a voice could say.
bool HasWords(const QString& text, qsizetype start, qsizetype end)
{
    for (qsizetype i = start; i < end; ++i)
        if (text[i].isLetterOrNumber())
            return true;
    return false;
}

}  // namespace

QList<Sentence> CutSentences(const QString& text)
{
    QList<Sentence> sentences;
    const qsizetype size = text.size();
    auto add = [&](qsizetype start, qsizetype end) {
        while (start < end && IsSpace(text[start]))
            ++start;
        while (end > start && IsSpace(text[end - 1]))
            --end;
        if (HasWords(text, start, end))
            sentences.append({start, end - start});
    };
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < size) {
        const QChar c = text[i];
        if (IsLineEnd(c)) {
            add(start, i);
            ++i;
            start = i;
            continue;
        }
        // "3.5" and "Mr.Li" go on: a Western full stop ends a sentence only
        // before a space, a line end or the end of the text.
        const bool westernStop = c == u'.' && (i + 1 == size || IsSpace(text[i + 1]) || IsLineEnd(text[i + 1]));
        if (!EndsSentence(c) && !westernStop) {
            ++i;
            continue;
        }
        ++i;
        while (i < size && (EndsSentence(text[i]) || text[i] == u'.'))
            ++i;
        while (i < size && Closes(text[i]))
            ++i;
        add(start, i);
        start = i;
    }
    add(start, size);
    return sentences;
}

qsizetype SentenceAt(const QList<Sentence>& sentences, qsizetype offset)
{
    const auto found = std::find_if(sentences.begin(), sentences.end(),
                                    [offset](const Sentence& s) { return s.start + s.length > offset; });
    return found - sentences.begin();
}
