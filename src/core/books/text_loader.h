#pragma once

#include "core/books/reader_state.h"
#include "core/text/line_reader.h"
#include "core/text/text_encoding.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <memory>

struct HeadingRule;
class RuleSurvey;

// What the loader needs from the window it loads for. The loader itself
// knows no widgets.
class LoaderHost {
public:
    virtual ~LoaderHost() = default;
    // Shows the current book's current chapter (the early display).
    virtual void ShowChapter() = 0;
    // Whether the reading pane holds no text at all.
    virtual bool PaneIsEmpty() const = 0;
    // Lets the event loop run. Returns false when the program is closing:
    // the load then stops at once without touching anything else.
    virtual bool Yield() = 0;
};

// Failures that end a load with an error rather than a message.
enum class LoadError {
    None,
    Overflow,     // a 256th book, or a chapter index above 32767
    ReadFailed,   // the file could not be opened or read
    Outgrown,     // the file went on far beyond its size (a file that never ends)
    Interrupted,  // the program closed in the middle of the load
};

struct LoadResult {
    std::int32_t Code = 1;  // the book's slot on success
    QString Message;        // empty on success; "找不到该文件" for a missing file
    LoadError error = LoadError::None;

    bool Succeeded() const { return error == LoadError::None && Message.isEmpty(); }
};

inline constexpr char16_t kFileNotFound[] = u"找不到该文件";

// How a load reads: the size of its blocks, and how long it may go without
// letting the event loop run. Tests make blocks tiny and yield at every
// look at the clock.
struct LoadTuning {
    qsizetype blockSize = TextFileReader::kBlockSize;
    std::chrono::nanoseconds yieldInterval = std::chrono::milliseconds(10);
    // Where chapters begin: the built-in recogniser when null.
    const HeadingRule* rule = nullptr;
    // Sees every line of a load by the built-in recogniser, when set.
    RuleSurvey* survey = nullptr;
    // A load by the built-in recogniser surveys the rules itself and notes
    // the better rule in the book (Book::BetterRule).
    bool surveyRules = false;
};

// Fills book `slot` of `state`, which holds one empty chapter, from the file
// `reader` has open. A file taken for UTF-8 that proves not to be is read
// again as GB18030 into the same slot, leaving the book as a load as GB18030
// would have left it. The loads below and the window's loads on a worker
// thread (BookLoad) all read through it.
LoadError ReadBookText(ReaderState& state, int slot, TextFileReader& reader, EncodingChoice choice, LoaderHost& host,
                       const LoadTuning& tuning = {});

// What a load needs before it reads: the checks that can end it at once,
// and the file opened. Without `reader` the load is over and `result` says
// how (a book already in the store is its slot in Code); with it, book
// `slot` (new and current, or emptied to be read again) waits to be filled
// from it by ReadBookText.
struct LoadStart {
    LoadResult result;
    int slot = 0;
    std::unique_ptr<TextFileReader> reader;
    std::int32_t keptChapter = 0;  // a reading again: the chapter shown before
};

// The first steps of LoadTextFile. `named`: the user named the file outside
// any listing, so a hidden file counts too.
LoadStart StartLoad(ReaderState& state, const QString& path, EncodingChoice encoding,
                    qsizetype blockSize = TextFileReader::kBlockSize, bool named = false);

// The first steps of ReloadTextFile, and its last: the chapter shown before
// stays when it (or the contents view) still exists, else chapter 0.
LoadStart StartReload(ReaderState& state, int slot, EncodingChoice encoding,
                      qsizetype blockSize = TextFileReader::kBlockSize);
void EndReload(Book& book, int keptChapter);

// Reads the book at `path` into a new slot of `state.Books`, splitting it
// into chapters at every heading line, and makes it current. A path already
// in the store returns that book's slot without reading the file again.
LoadResult LoadTextFile(ReaderState& state, const QString& path, LoaderHost& host,
                        EncodingChoice encoding = EncodingChoice::Automatic, const LoadTuning& tuning = {});

// Reads book `slot` again from its Path, in `encoding`, into the same slot:
// its chapters are replaced, Path, FileName and SkinIndex stay, and
// ChapterIndex stays when that chapter (or the contents view) still exists,
// else it becomes 0. The reading yields and shows the beginning of the book
// as a load does, and does not change CurrentBook; afterwards the caller
// lists the chapters and shows the book again, as after a load. A file no
// longer there gives "找不到该文件" and leaves the book as it was.
LoadResult ReloadTextFile(ReaderState& state, int slot, LoaderHost& host, EncodingChoice encoding,
                          const LoadTuning& tuning = {});

// Text callers show for a failed load: "文件打开错误!" with code and message,
// or the error's own description.
QString LoadFailureText(const LoadResult& result);
