#include "core/books/book_load.h"

#include "core/text/file_names.h"

#include <QFileInfo>
#include <QMetaObject>

// The worker's side: the loader's host. Each look at the clock (Yield) and
// each early display hands the new chapters over to the window's thread.
class BookLoad::Worker : public LoaderHost {
public:
    Worker(BookLoad& load, const QString& path) : load_(load)
    {
        state_.Books.Add(path, ReadablePath(QFileInfo(path).fileName()));
        state_.CurrentBook = 1;
    }

    LoadError Read(TextFileReader& reader, EncodingChoice choice, const LoadTuning& tuning)
    {
        const LoadError error = ReadBookText(state_, 1, reader, choice, *this, tuning);
        Publish(reader.Encoding());
        return error;
    }

    Book& Filled() { return state_.Books[1]; }

    void ShowChapter() override
    {
        showBeginning_ = true;
        Publish(state_.Books[1].Encoding);
    }
    bool PaneIsEmpty() const override
    {
        chapterOneUnderWay_ = true;
        return false;  // the window's thread decides, when the batch arrives
    }
    bool Yield() override
    {
        if (load_.cancelled_)
            return false;
        Publish(state_.Books[1].Encoding);
        return !load_.cancelled_;
    }

private:
    void Publish(TextEncoding encoding)
    {
        const Book& book = state_.Books[1];
        // Read again from the start (a wrong guess of the encoding): the
        // whole book is new.
        if (book.LastChapter() < from_)
            from_ = 0;
        Batch batch;
        batch.from = from_;
        batch.chapters.assign(book.Chapters.begin() + from_, book.Chapters.end());
        batch.texts.assign(book.ChapterTexts.begin() + from_, book.ChapterTexts.end());
        batch.encoding = encoding;
        batch.showBeginning = std::exchange(showBeginning_, false);
        batch.chapterOneUnderWay = std::exchange(chapterOneUnderWay_, false);
        from_ = book.LastChapter();
        load_.Post(std::move(batch));
    }

    BookLoad& load_;
    ReaderState state_;
    int from_ = 0;
    bool showBeginning_ = false;
    mutable bool chapterOneUnderWay_ = false;
};

BookLoad::BookLoad(ReaderState& state, int slot, std::unique_ptr<TextFileReader> reader, EncodingChoice choice,
                   Callbacks callbacks, const LoadTuning& tuning)
    : state_(state)
    , slot_(slot)
    , callbacks_(std::move(callbacks))
{
    Book& book = state_.Books[slot_];
    book.Encoding = reader->Encoding();
    book.ChosenEncoding = choice;
    thread_ = std::thread([this, path = book.Path, reader = std::move(reader), choice, tuning] {
        Worker worker(*this, path);
        const LoadError error = worker.Read(*reader, choice, tuning);
        Book& read = worker.Filled();
        PostEnding(
            {error, reader->Encoding(), std::move(read.BuiltInFirstLines), read.BetterRule, read.BetterRuleChapters});
    });
}

BookLoad::~BookLoad()
{
    cancelled_ = true;
    if (thread_.joinable())
        thread_.join();
}

void BookLoad::Post(Batch batch)
{
    {
        const std::lock_guard lock(mailLock_);
        mail_.push_back(std::move(batch));
    }
    QMetaObject::invokeMethod(this, &BookLoad::TakeMail, Qt::QueuedConnection);
}

void BookLoad::PostEnding(Ending ending)
{
    {
        const std::lock_guard lock(mailLock_);
        ending_ = std::move(ending);
    }
    QMetaObject::invokeMethod(this, &BookLoad::TakeMail, Qt::QueuedConnection);
}

// Every batch left so far, then the ending once the worker has left it: a
// call may find the mail empty, taken by the call before it.
void BookLoad::TakeMail()
{
    std::deque<Batch> batches;
    std::optional<Ending> ending;
    {
        const std::lock_guard lock(mailLock_);
        batches.swap(mail_);
        ending = std::exchange(ending_, std::nullopt);
    }
    for (const Batch& batch : batches) {
        if (done_)
            return;
        Take(batch);
    }
    if (ending)
        End(*ending);
}

void BookLoad::Take(const Batch& batch)
{
    Book* filled = state_.Books.BookAt(slot_);
    if (done_ || !filled)
        return;
    Book& book = *filled;
    book.Chapters.resize(batch.from);
    book.ChapterTexts.resize(batch.from);
    book.Chapters.insert(book.Chapters.end(), batch.chapters.begin(), batch.chapters.end());
    book.ChapterTexts.insert(book.ChapterTexts.end(), batch.texts.begin(), batch.texts.end());
    book.Encoding = batch.encoding;
    if (batch.showBeginning)
        book.ChapterIndex = 0;
    if (callbacks_.arrived)
        callbacks_.arrived(batch.showBeginning, batch.chapterOneUnderWay);
}

void BookLoad::End(const Ending& ending)
{
    if (done_)
        return;
    done_ = true;
    if (Book* book = state_.Books.BookAt(slot_)) {
        book->Encoding = ending.encoding;
        book->BuiltInFirstLines = ending.builtInFirstLines;
        book->BetterRule = ending.betterRule;
        book->BetterRuleChapters = ending.betterRuleChapters;
    }
    if (callbacks_.finished)
        callbacks_.finished(cancelled_ ? LoadError::Interrupted : ending.error);
}
