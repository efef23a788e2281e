#include "highlightreference.h"

#include "server/engine/highlightchanges.h"
#include "server/engine/highlightjoin.h"
#include "server/engine/highlightkeywords.h"
#include "server/engine/highlightmarkup.h"
#include "server/engine/highlightpage.h"
#include "server/engine/highlighttags.h"

#include "store/fileio.h"
#include "store/textlines.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace pw::server;

using Lines = QList<QByteArray>;

namespace {

const QByteArray kColour = "#FFFF00";
const QByteArray kKeyColour = "#FF0000";
const QString kUrl = u"http://example.com/page.html"_s;

// Markup shown as brackets, so expected texts stay readable: [ ] a frame, { } a keyword.
QByteArray shown(QByteArray marked)
{
    return marked.replace(frameStart(kColour), "[")
        .replace(kFrameEnd.toByteArray(), "]")
        .replace(keywordStart(kKeyColour), "{")
        .replace(kKeywordEnd.toByteArray(), "}");
}

// What the change pass writes as the stored copy of a page: its lines with the end marker,
// joined into one line.
Lines storedAfterPass(const Lines &pageLines)
{
    return {joinPageLines(pageLines)};
}

// The change pass on lines in memory.
QByteArray framedPage(const Lines &storedLines, const Lines &pageLines)
{
    const QByteArray newText = joinPageLines(pageLines);
    const QByteArray flags =
        markchanges(splitblocks(pw::server::joinLines(storedLines), false), splitblocks(newText, true));
    return wrapchanges(newText, flags, kColour);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// A job over a page file and a stored copy in `dir`, with the test's colours and URL.
HighlightJob fileJob(const QTemporaryDir &dir, bool highlighting, bool keywording, const QString &keywords,
                     bool wordChecked)
{
    HighlightJob job;
    job.pageFile = dir.filePath(u"page.htm"_s);
    job.storedCopy = dir.filePath(u"key.tmp"_s);
    job.url = kUrl;
    job.highlighting = highlighting;
    job.highlightColour = kColour;
    job.keywording = keywording;
    job.keywordColour = kKeyColour;
    job.keywords = keywords;
    job.wordChecked = wordChecked;
    return job;
}

// Everything a highlightpage call reports.
struct Recorder
{
    QStringList statuses;
    QStringList log;
    std::atomic<bool> stop{false};
    QString stopAt; // the stop request is set when this suffix is shown

    void attach(HighlightJob &job)
    {
        job.stopRequest = &stop;
        job.log = [this](const QString &message) { log.append(message); };
        job.status = [this](const QString &status) {
            QVERIFY(status.startsWith(u"Processing "_s + kUrl));
            statuses.append(status.mid(11 + kUrl.size()));
            if (!stopAt.isEmpty() && status.endsWith(stopAt))
                stop = true;
        };
    }
};

// Bytes of a random page made of the pieces the scans care about, so that tags, comments,
// "<pre>", block tags, keywords and their delimiters meet in every order.
QByteArray randomPage(QRandomGenerator &random, int pieces)
{
    static const QList<QByteArray> parts = {"<p>",
                                            "<P>",
                                            "<li>",
                                            "<p class=x>",
                                            "<p align=center>",
                                            "<br>",
                                            "<BR>",
                                            "</p>",
                                            "<div>",
                                            "<h1>",
                                            "<!--",
                                            "-->",
                                            "--",
                                            "<!-- c -->",
                                            "<pre>",
                                            "</pre>",
                                            "<b>",
                                            "</b>",
                                            "<",
                                            ">",
                                            " ",
                                            "  ",
                                            "spam",
                                            "Spam",
                                            "SPAM",
                                            "eggs",
                                            "&nbsp;",
                                            "&NBSP;",
                                            ",",
                                            ".",
                                            "\n",
                                            "\r\n",
                                            "</eof>",
                                            "a",
                                            "b",
                                            "x y",
                                            "<a title= spam >",
                                            "<td>",
                                            "\t"};
    QByteArray page;
    for (int i = 0; i < pieces; ++i)
        page += parts[random.bounded(int(parts.size()))];
    return page;
}

} // namespace

class TestHighlighter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qRegisterMetaType<Lines>(); }

    void markupIsByteExact()
    {
        const QByteArray start = frameStart("#FFFF00");
        QCOMPARE(start, QByteArray("<table bgcolor=\"#FFFF00\" border=\"3\"><tr><td>"));
        QCOMPARE(start.size(), 44);
        QCOMPARE(kFrameEnd, QByteArrayView("</td></table>"));
        QCOMPARE(kFrameEnd.size(), 13);
        const QByteArray keyword = keywordStart("#FF0000");
        QCOMPARE(keyword, QByteArray("<font color=\"#FF0000\"><b>"));
        QCOMPARE(keyword.size(), 25);
        QCOMPARE(kKeywordEnd, QByteArrayView("</b></font>"));
        QCOMPARE(kKeywordEnd.size(), 11);
        QCOMPARE(kEndMarker, QByteArrayView("</eof></eof> "));
    }

    void joinLines_data()
    {
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<QByteArray>("joined");
        QTest::newRow("no lines") << Lines{} << QByteArray();
        QTest::newRow("a space before every line") << Lines{"<p>a", "", "b"} << QByteArray(" <p>a  b");
        QTest::newRow("preformatted lines take <BR>") << Lines{"<p>x", "<pre>", "one", "two</pre>", "after"}
                                                      << QByteArray(" <p>x<BR><pre><BR>one two</pre> after");
        QTest::newRow("tags found ignoring case")
            << Lines{"<PRE>", "a", "</Pre>"} << QByteArray("<BR><PRE><BR>a </Pre>");
        QTest::newRow("</pre> wins on a line with both") << Lines{"<pre>x</pre>", "y"} << QByteArray(" <pre>x</pre> y");
        QTest::newRow("<pre class> is not <pre>")
            << Lines{"<pre class=\"e\">", "a"} << QByteArray(" <pre class=\"e\"> a");
    }
    void joinLines()
    {
        QFETCH(Lines, lines);
        QFETCH(QByteArray, joined);
        QCOMPARE(pw::server::joinLines(lines), joined);
    }

    void pageLinesGetTheEndMarker()
    {
        QCOMPARE(joinPageLines({"<p>a"}), QByteArray(" <p>a </eof></eof> "));
        // Inside an open "<pre>" the marker's line is joined with "<BR>" too.
        QCOMPARE(joinPageLines({"<pre>", "a"}), QByteArray("<BR><pre><BR>a<BR></eof></eof> "));
    }

    void blockTags_data()
    {
        QTest::addColumn<QByteArray>("tag");
        QTest::addColumn<bool>("block");
        for (const char *t : {"br", "p", "li", "/th", "/ul", "/ol", "/dl", "/p"})
            QTest::addRow("equal %s", t) << QByteArray(t) << true;
        for (const char *t : {"p align=center", "img alt=\"p align\""})
            QTest::addRow("contains %s", t) << QByteArray(t) << true;
        for (const char *t :
             {"table width=1", "/table",     "td",          "/td",         "tr",   "/tr",          "form x",
              "/form",         "blockquote", "/blockquote", "div class=a", "/div", "body lang=en", "/body",
              "!-- note --",   "html",       "head",        "hr",          "h1",   "/html",        "/head",
              "/h6",           "th",         "thead",       "ul",          "ol",   "dl",           "br clear=all"})
            QTest::addRow("begins %s", t) << QByteArray(t) << true;
        for (const char *t :
             {"p class=x", "li type=a", "br/", "pre", "/pre", "/li", "a href=x", "b", "", "span", "/eof", "ppp", "lia"})
            QTest::addRow("no block tag: %s", t) << QByteArray(t) << false;
    }
    void blockTags()
    {
        QFETCH(QByteArray, tag);
        QFETCH(bool, block);
        QCOMPARE(isBlockTag(tag), block);
    }

    void splitblocks_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Lines>("oldSide");
        QTest::addColumn<Lines>("newSide");
        QTest::newRow("blocks are trimmed, tags left out")
            << QByteArray(" <p> A <b>bold</b> x <p>B<br>") << Lines{"", "A bold x", "B"} << Lines{"", "A bold x", "B"};
        QTest::newRow("nothing before a block tag")
            << QByteArray("<p><p>A<p>") << Lines{"A"} << Lines{"*nada*", "*nada*", "A"};
        QTest::newRow("the rest stays untrimmed")
            << QByteArray("<p>A<p> B ") << Lines{"A", " B "} << Lines{"*nada*", "A", " B "};
        QTest::newRow("p class is no block tag")
            << QByteArray("<p>A <p class=x> B<p>") << Lines{"A  B"} << Lines{"*nada*", "A  B"};
        QTest::newRow("comments contribute nothing")
            << QByteArray("<p>A<!-- hidden <p> <b>x</b> -->B<p>") << Lines{"AB"} << Lines{"*nada*", "AB"};
        QTest::newRow("comment closes only after --")
            << QByteArray("<p>A<!-- x -- y > still -->B<p>") << Lines{"AB"} << Lines{"*nada*", "AB"};
        QTest::newRow("upper case and spaces in tags")
            << QByteArray("< P >A< /P >") << Lines{"A"} << Lines{"*nada*", "A"};
        QTest::newRow("a tag reaching the end") << QByteArray("A<p>B<unclosed") << Lines{"A", "B"} << Lines{"A", "B"};
    }
    void splitblocks()
    {
        QFETCH(QByteArray, text);
        QFETCH(Lines, oldSide);
        QFETCH(Lines, newSide);
        QCOMPARE(pw::server::splitblocks(text, false), oldSide);
        QCOMPARE(pw::server::splitblocks(text, true), newSide);
        QCOMPARE(reference::splitblocks(text, false), oldSide);
        QCOMPARE(reference::splitblocks(text, true), newSide);
    }

    void markchanges_data()
    {
        QTest::addColumn<Lines>("oldBlocks");
        QTest::addColumn<Lines>("newBlocks");
        QTest::addColumn<QByteArray>("flags");
        QTest::newRow("moved blocks are unchanged")
            << Lines{"One", "Two"} << Lines{"Two", "One"} << QByteArray("00000");
        QTest::newRow("one character differs") << Lines{"Two words"} << Lines{"Two word"} << QByteArray("1000");
        QTest::newRow("case and spaces count") << Lines{"ab", "a b"} << Lines{"AB", "a  b"} << QByteArray("11000");
        QTest::newRow("*nada* never changed") << Lines{} << Lines{"*nada*", "x"} << QByteArray("01000");
        QTest::newRow("no blocks") << Lines{} << Lines{} << QByteArray("000");
    }
    void markchanges()
    {
        QFETCH(Lines, oldBlocks);
        QFETCH(Lines, newBlocks);
        QFETCH(QByteArray, flags);
        QCOMPARE(pw::server::markchanges(oldBlocks, newBlocks), flags);
    }

    // The change pass from lines to framed text; the previous page's lines are turned into
    // the stored copy a change pass would have written for it.
    void changePass_data()
    {
        QTest::addColumn<Lines>("previous");
        QTest::addColumn<Lines>("page");
        QTest::addColumn<QByteArray>("framed");
        QTest::newRow("consecutive changed blocks share a frame")
            << Lines{"<p>X<p>Y<p>C"} << Lines{"<p>A<p>B<p>C"} << QByteArray(" <p>[A<p>B]<p>C </eof></eof> ");
        QTest::newRow("each list item gets its own frame")
            << Lines{"<li>X<li>Y<li>C"} << Lines{"<li>A<li>B<li>C"} << QByteArray(" <li>[A]<li>[B]<li>C </eof></eof> ");
        QTest::newRow("three changed blocks, one frame") << Lines{"<p>X<p>Y<p>Z<p>D"} << Lines{"<p>A<p>B<p>C<p>D"}
                                                         << QByteArray(" <p>[A<p>B<p>C]<p>D </eof></eof> ");
        QTest::newRow("an unchanged block between two frames") << Lines{"<p>X<p>S<p>Y<p>D"} << Lines{"<p>A<p>S<p>B<p>D"}
                                                               << QByteArray(" <p>[A]<p>S<p>[B]<p>D </eof></eof> ");
        QTest::newRow("a moved paragraph is not framed")
            << Lines{"<p>One", "<p>Two", "<p>Three"} << Lines{"<p>Two", "<p>One", "<p>Three"}
            << QByteArray(" <p>Two <p>One <p>Three </eof></eof> ");
        QTest::newRow("one changed character frames the whole paragraph")
            << Lines{"<p>One", "<p>Two words here", "<p>Three"} << Lines{"<p>One", "<p>Two words hare", "<p>Three"}
            << QByteArray(" <p>One <p>[Two words hare ]<p>Three </eof></eof> ");
        QTest::newRow("text after <p class=x> belongs to the block before")
            << Lines{"<p>Alpha <p class=x> Beta<p>End"} << Lines{"<p>Alpha <p class=x> Beta2<p>End"}
            << QByteArray(" <p>[Alpha <p class=x> Beta2]<p>End </eof></eof> ");
        QTest::newRow("a change before <p class=x> frames the text after it too")
            << Lines{"<p>Alpha <p class=x> Beta<p>End"} << Lines{"<p>Alpha2 <p class=x> Beta<p>End"}
            << QByteArray(" <p>[Alpha2 <p class=x> Beta]<p>End </eof></eof> ");
        QTest::newRow("comments are neither compared nor framed")
            << Lines{"<p>Same<!-- old note -->", "<p>End"} << Lines{"<p>Same<!-- new note -->", "<p>End"}
            << QByteArray(" <p>Same<!-- new note --> <p>End </eof></eof> ");
        QTest::newRow("a comment across tags and lines hides its block tags")
            << Lines{"<p>Same<!-- <p>old <b>x</b>", "<p>more -->", "<p>End"}
            << Lines{"<p>Same<!-- <p>new <b>y</b>", "<div>changed -->", "<p>End"}
            << QByteArray(" <p>Same<!-- <p>new <b>y</b> <div>changed --> <p>End </eof></eof> ");
        QTest::newRow("a change inside <pre> frames up to the next block tag")
            << Lines{"<p>Code:", "<pre>", "int a;", "int c;", "</pre>", "<p>After"}
            << Lines{"<p>Code:", "<pre>", "int b;", "int c;", "</pre>", "<p>After"}
            << QByteArray(" <p>Code:<BR><pre><BR>[int b;]<BR>int c; </pre> <p>After </eof></eof> ");
        QTest::newRow("the text before the first block tag is never framed")
            << Lines{"Intro<p>Body"} << Lines{"Changed intro<p>Body"}
            << QByteArray(" Changed intro<p>Body </eof></eof> ");
        QTest::newRow("a changed last block is closed before the end marker")
            << Lines{"<p>Same<p>Old"} << Lines{"<p>Same<p>New"} << QByteArray(" <p>Same<p>[New ]</eof></eof> ");
        QTest::newRow("an unchanged page") << Lines{"<html><body>", "<p>Hello", "</body></html>"}
                                           << Lines{"<html><body>", "<p>Hello", "</body></html>"}
                                           << QByteArray(" <html><body> <p>Hello </body></html> </eof></eof> ");
    }
    void changePass()
    {
        QFETCH(Lines, previous);
        QFETCH(Lines, page);
        QFETCH(QByteArray, framed);
        const QByteArray marked = framedPage(storedAfterPass(previous), page);
        QCOMPARE(shown(marked), framed);
        // The plain in-place form of the scan gives the same bytes.
        const QByteArray newText = joinPageLines(page);
        const QByteArray flags =
            pw::server::markchanges(reference::splitblocks(pw::server::joinLines(storedAfterPass(previous)), false),
                                    reference::splitblocks(newText, true));
        QCOMPARE(reference::wrapchanges(newText, flags, kColour), marked);
    }

    // The stored copy of a first retrieval is the raw page: the spaces after its last block
    // tag are no block of it, so the first pass frames them, closing the frame before the
    // end marker. Later passes compare against a stored copy ending the same way.
    void firstPassAgainstARawStoredCopy()
    {
        const Lines page{"<html><body>", "<p>Hello", "</body></html>"};
        QCOMPARE(shown(framedPage(page, page)), QByteArray(" <html><body> <p>Hello </body></html>[ ]</eof></eof> "));
        QCOMPARE(shown(framedPage(storedAfterPass(page), page)),
                 QByteArray(" <html><body> <p>Hello </body></html> </eof></eof> "));
    }

    void wrapchangesEdges_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("flags");
        QTest::addColumn<QByteArray>("framed");
        QTest::newRow("open at the end of a text without marker")
            << QByteArray("<p>A") << QByteArray("01000") << QByteArray("<p>[A]");
        QTest::newRow("scan ends at the first </eof>")
            << QByteArray("<p>A</eof><p>B") << QByteArray("01100") << QByteArray("<p>[A]</eof><p>B");
        QTest::newRow("</eof> ends the scan inside a comment")
            << QByteArray("<p>A<!-- x <b> </eof> --><p>B") << QByteArray("01100")
            << QByteArray("<p>[A<!-- x <b> ]</eof> --><p>B");
        QTest::newRow("flags run out") << QByteArray("<p>A<p>B<p>C") << QByteArray("01")
                                       << QByteArray("<p>[A]<p>B<p>C");
        QTest::newRow("frame end before the tag's last <")
            << QByteArray("<p>A< <p>B") << QByteArray("0100") << QByteArray("<p>[A< ]<p>B");
        QTest::newRow("li inside a merged run")
            << QByteArray("<p>A<li>B<p>C<p>D") << QByteArray("011100") << QByteArray("<p>[A<li>B<p>C]<p>D");
    }
    void wrapchangesEdges()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, flags);
        QFETCH(QByteArray, framed);
        QCOMPARE(shown(wrapchanges(text, flags, kColour)), framed);
        QCOMPARE(shown(reference::wrapchanges(text, flags, kColour)), framed);
    }

    void keywordlist_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Lines>("keywords");
        QTest::newRow("words and a phrase")
            << QByteArray("alpha \"beta gamma\" delta") << Lines{"alpha", "beta gamma", "delta"};
        QTest::newRow("text glued to an opening quote is dropped") << QByteArray("x\"y\"") << Lines{"y"};
        QTest::newRow("an empty phrase is kept") << QByteArray("a \"\" b") << Lines{"a", "", "b"};
        QTest::newRow("phrases stay untrimmed") << QByteArray("\"  padded \"") << Lines{"  padded "};
        QTest::newRow("commas are ordinary") << QByteArray("a,b c.") << Lines{"a,b", "c."};
        QTest::newRow("runs of spaces") << QByteArray("  one   two  ") << Lines{"one", "two"};
        QTest::newRow("an unclosed phrase") << QByteArray("a \"open phrase ") << Lines{"a", "open phrase"};
        QTest::newRow("text after a closing quote") << QByteArray("\"p q\"r s") << Lines{"p q", "r", "s"};
        QTest::newRow("tabs belong to words") << QByteArray("tab\tword") << Lines{"tab\tword"};
        QTest::newRow("nothing") << QByteArray("   ") << Lines{};
    }
    void keywordlist()
    {
        QFETCH(QByteArray, text);
        QFETCH(Lines, keywords);
        QCOMPARE(pw::server::keywordlist(text), keywords);
    }

    void markkeywords_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("keywords");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<QByteArray>("marked");
        QTest::newRow("substring") << QByteArray(" spam and spammer ") << QByteArray("spam") << false << false
                                   << QByteArray(" {spam} and {spam}mer ");
        QTest::newRow("substring resumes after the inserted markup")
            << QByteArray(" aaaaa ") << QByteArray("aa") << false << false << QByteArray(" {aa}{aa}a ");
        QTest::newRow("whole word: spam spam marks the first only")
            << QByteArray(" a spam spam b ") << QByteArray("spam") << true << false << QByteArray(" a {spam} spam b ");
        QTest::newRow("whole word: the scan resumes two characters after the delimiter")
            << QByteArray(" spam  spam   spam ") << QByteArray("spam") << true << false
            << QByteArray(" {spam}  spam   {spam} ");
        QTest::newRow("whole word: punctuation after the keyword")
            << QByteArray(" spam, spam. spam! ") << QByteArray("spam") << true << false
            << QByteArray(" spam, spam. spam! ");
        QTest::newRow("whole word: a line's first word") << pw::server::joinLines({"spam here"}) << QByteArray("spam")
                                                         << true << false << QByteArray(" {spam} here");
        QTest::newRow("whole word: after <BR> and between tags")
            << QByteArray("<BR>spam <b>spam</b> ") << QByteArray("spam") << true << false
            << QByteArray("<BR>{spam} <b>{spam}</b> ");
        QTest::newRow("whole word: a < delimiter resumes inside the tag")
            << QByteArray(" spam<a title=' spam ' href=x> ") << QByteArray("spam") << true << false
            << QByteArray(" {spam}<a title=' {spam} ' href=x> ");
        QTest::newRow("whole word: &nbsp; before") << QByteArray("&nbsp;spam rest &nbsp;spam, ") << QByteArray("spam")
                                                   << true << false << QByteArray("&nbsp;{spam} rest &nbsp;spam, ");
        QTest::newRow("whole word: after &nbsp; the scan skips six more")
            << QByteArray("&nbsp;spam &nbsp;spam ") << QByteArray("spam") << true << false
            << QByteArray("&nbsp;{spam} &nbsp;spam ");
        QTest::newRow("whole word: &nbsp; is no second delimiter")
            << QByteArray(" spam&nbsp; ") << QByteArray("spam") << true << false << QByteArray(" spam&nbsp; ");
        QTest::newRow("any case") << QByteArray(" SPAM Spam spam ") << QByteArray("Spam") << false << false
                                  << QByteArray(" {SPAM} {Spam} {spam} ");
        QTest::newRow("&NBSP; counts when case does not")
            << QByteArray("&NBSP;Spam ") << QByteArray("spam") << true << false << QByteArray("&NBSP;{Spam} ");
        QTest::newRow("match case") << QByteArray(" SPAM Spam spam &NBSP;spam ") << QByteArray("spam") << true << true
                                    << QByteArray(" SPAM Spam {spam} &NBSP;spam ");
        QTest::newRow("never inside tags") << QByteArray("<a href=\"spam.html\">spam</a> ") << QByteArray("spam")
                                           << false << false << QByteArray("<a href=\"spam.html\">{spam}</a> ");
        QTest::newRow("inserted markup is never matched")
            << QByteArray(" b font ") << QByteArray("b font color") << false << false << QByteArray(" {b} {font} ");
        QTest::newRow("no match on the last character")
            << QByteArray(" m") << QByteArray("m") << false << false << QByteArray(" m");
        QTest::newRow("a phrase keyword") << QByteArray(" big deal here ") << QByteArray("\"big deal\"") << true
                                          << false << QByteArray(" {big deal} here ");
        QTest::newRow("keywords in turn") << QByteArray(" one two one ") << QByteArray("two one") << false << false
                                          << QByteArray(" {one} {two} {one} ");
        QTest::newRow("an empty phrase marks nothing")
            << QByteArray(" a  b ") << QByteArray("\"\"") << false << false << QByteArray(" a  b ");
        QTest::newRow("a keyword holding < marks nothing")
            << QByteArray(" x<b>y ") << QByteArray("x<b") << false << false << QByteArray(" x<b>y ");
        QTest::newRow("UTF-8 letters fold on a UTF-8 page")
            << QByteArray(" \xc3\x84RGER \xc3\xa4rger ") << QByteArray("\xc3\xa4rger") << true << false
            << QByteArray(" {\xc3\x84RGER} \xc3\xa4rger ");
        QTest::newRow("UTF-8 folding, substring")
            << QByteArray(" \xce\xa3\xce\x99\xce\x93\xce\x9c\xce\x91 ") << QByteArray("\xcf\x83\xce\xb9") << false
            << false << QByteArray(" {\xce\xa3\xce\x99}\xce\x93\xce\x9c\xce\x91 ");
        QTest::newRow("the Kelvin sign folds to k")
            << QByteArray(" 5 \xe2\x84\xaa ") << QByteArray("k") << true << false << QByteArray(" 5 {\xe2\x84\xaa} ");
        QTest::newRow("UTF-8 letters keep their case when it counts")
            << QByteArray(" \xc3\x84rger ") << QByteArray("\xc3\xa4rger") << true << true
            << QByteArray(" \xc3\x84rger ");
        QTest::newRow("ASCII letters only on a page that is not UTF-8")
            << QByteArray(" \xc4RGER \xe4rger ") << QByteArray("\xe4rger") << true << false
            << QByteArray(" \xc4RGER {\xe4rger} ");
    }
    void markkeywords()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, keywords);
        QFETCH(bool, wholeWord);
        QFETCH(bool, matchCase);
        QFETCH(QByteArray, marked);
        const Lines list = pw::server::keywordlist(keywords);
        const QByteArray result = pw::server::markkeywords(text, list, wholeWord, matchCase, kKeyColour);
        QCOMPARE(shown(result), marked);
        // The in-place form agrees wherever its ASCII folding is the page's.
        const bool asciiOnly = [&] {
            for (const char c : QByteArray(text + keywords)) {
                if (static_cast<unsigned char>(c) >= 0x80)
                    return false;
            }
            return true;
        }();
        if (matchCase || asciiOnly || !text.isValidUtf8())
            QCOMPARE(reference::markkeywords(text, list, wholeWord, matchCase, kKeyColour), result);
    }

    void keywordBytes_data()
    {
        QTest::addColumn<QString>("keywords");
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("UTF-8 page") << u"\u00e4rger \u20ac"_s << QByteArray(" \xc3\xa4 ")
                                    << QByteArray("\xc3\xa4rger \xe2\x82\xac");
        QTest::newRow("Latin-1 page") << u"\u00e4rger"_s << QByteArray(" \xe4 ") << QByteArray("\xe4rger");
        QTest::newRow("Latin-1 page, character beyond Latin-1")
            << u"\u00e4 \u20ac"_s << QByteArray(" \xe4 ") << QByteArray("\xc3\xa4 \xe2\x82\xac");
    }
    void keywordBytes()
    {
        QFETCH(QString, keywords);
        QFETCH(QByteArray, page);
        QFETCH(QByteArray, bytes);
        QCOMPARE(pw::server::keywordBytes(keywords, page), bytes);
    }

    // The scans build their output by appending; the plain in-place forms must give the
    // same bytes on pages where every rule meets every other.
    void scansMatchTheInPlaceForm()
    {
        QRandomGenerator random(20240601);
        int framedRounds = 0;
        int markedRounds = 0;
        for (int round = 0; round < 400; ++round) {
            const QByteArray oldPage = randomPage(random, 30);
            const QByteArray newPage = randomPage(random, 40);
            const Lines oldLines = pw::splitLines(oldPage);
            const QByteArray newText = joinPageLines(pw::splitLines(newPage));
            const QByteArray oldText = pw::server::joinLines(oldLines);
            QCOMPARE(pw::server::splitblocks(oldText, false), reference::splitblocks(oldText, false));
            QCOMPARE(pw::server::splitblocks(newText, true), reference::splitblocks(newText, true));
            const QByteArray flags = pw::server::markchanges(pw::server::splitblocks(oldText, false),
                                                             pw::server::splitblocks(newText, true));
            const QByteArray framed = wrapchanges(newText, flags, kColour);
            QCOMPARE(framed, reference::wrapchanges(newText, flags, kColour));
            framedRounds += framed != newText;

            const Lines keywords = pw::server::keywordlist("spam \"x y\" eggs a b \"spam \" > sp");
            for (const bool wholeWord : {false, true}) {
                for (const bool matchCase : {false, true}) {
                    const QByteArray marked =
                        pw::server::markkeywords(framed, keywords, wholeWord, matchCase, kKeyColour);
                    QCOMPARE(marked, reference::markkeywords(framed, keywords, wholeWord, matchCase, kKeyColour));
                    markedRounds += marked != framed;
                }
            }
        }
        // The pages are varied enough that most rounds frame and mark something.
        QVERIFY2(framedRounds > 200, qPrintable(QString::number(framedRounds)));
        QVERIFY2(markedRounds > 800, qPrintable(QString::number(markedRounds)));
    }

    // --- the file layer ---------------------------------------------------------------

    void bothPassesOnFiles()
    {
        QTemporaryDir dir;
        HighlightJob job = fileJob(dir, true, true, u"spam"_s, true);
        Recorder recorder;
        recorder.attach(job);

        // The stored copy as the first retrieval leaves it: the raw page.
        QVERIFY(pw::writelines(job.storedCopy, {"<body>", "<p>Old news", "<p>Same", "</body>"}));
        const Lines page{"<body>", "<p>Fresh news about spam", "<p>Same", "</body>"};
        QVERIFY(pw::writelines(job.pageFile, page));
        highlightpage(job);

        QCOMPARE(fileBytes(job.storedCopy),
                 QByteArray(" <body> <p>Fresh news about spam <p>Same </body> </eof></eof> \r\n"));
        QCOMPARE(shown(fileBytes(job.pageFile)),
                 QByteArray("  <body> <p>[Fresh news about {spam} ]<p>Same </body>[ ]</eof></eof>  </eof></eof> \r\n"));
        QVERIFY(recorder.log.isEmpty());

        // The next retrieval of the same page: nothing changed against the stored copy.
        QVERIFY(pw::writelines(job.pageFile, page));
        highlightpage(job);
        QCOMPARE(shown(fileBytes(job.pageFile)),
                 QByteArray("  <body> <p>Fresh news about {spam} <p>Same </body> </eof></eof>  </eof></eof> \r\n"));
    }

    void progressAndStop_data()
    {
        QTest::addColumn<bool>("highlighting");
        QTest::addColumn<bool>("keywording");
        QTest::addColumn<QString>("stopAt");
        QTest::addColumn<QStringList>("statuses");
        QTest::addColumn<bool>("changesWritten");
        QTest::addColumn<bool>("keywordsWritten");
        const QStringList change{u" 15%"_s, u" 25%"_s, u" 30%"_s, u" 35%"_s, u" 55%"_s, u" 70%"_s, u" 100%"_s};
        const QStringList keyword{u" 15%"_s, u" 25%"_s, u" 85%"_s, u" 100%"_s};
        QTest::newRow("change pass") << true << false << QString() << change << true << false;
        QTest::newRow("keyword pass") << false << true << QString() << keyword << false << true;
        QTest::newRow("both") << true << true << QString() << change + keyword << true << true;
        for (int i = 0; i < change.size(); ++i) {
            // A stop found after a step of 25% to 70% ends the pass before it writes.
            const bool written = i == change.size() - 1;
            QTest::addRow("stop at%s", qPrintable(change[i]))
                << true << true << change[i] << change.mid(0, i + 1) << written << false;
        }
        QTest::newRow("stop at 85%") << true << true << u" 85%"_s << change + keyword.mid(0, 3) << true << false;
        QTest::newRow("stop at 25%, keyword pass alone")
            << false << true << u" 25%"_s << keyword.mid(0, 2) << false << false;
    }
    void progressAndStop()
    {
        QFETCH(bool, highlighting);
        QFETCH(bool, keywording);
        QFETCH(QString, stopAt);
        QFETCH(QStringList, statuses);
        QFETCH(bool, changesWritten);
        QFETCH(bool, keywordsWritten);

        QTemporaryDir dir;
        HighlightJob job = fileJob(dir, highlighting, keywording, u"new"_s, false);
        Recorder recorder;
        recorder.stopAt = stopAt;
        recorder.attach(job);
        const Lines stored = storedAfterPass({"<p>old<p>same"});
        const Lines page{"<p>new<p>same"};
        QVERIFY(pw::writelines(job.storedCopy, stored));
        QVERIFY(pw::writelines(job.pageFile, page));
        highlightpage(job);

        QCOMPARE(recorder.statuses, statuses);
        QVERIFY(recorder.log.isEmpty());
        const QByteArray framed = " <p>[new]<p>same </eof></eof> ";
        QByteArray expectedPage = pw::joinCrLf(page);
        if (changesWritten && keywordsWritten)
            expectedPage = "  <p>[{new}]<p>same </eof></eof>  </eof></eof> \r\n";
        else if (changesWritten)
            expectedPage = framed + "\r\n";
        else if (keywordsWritten)
            expectedPage = " <p>{new}<p>same </eof></eof> \r\n";
        QCOMPARE(shown(fileBytes(job.pageFile)), expectedPage);
        QCOMPARE(fileBytes(job.storedCopy),
                 changesWritten ? QByteArray(" <p>new<p>same </eof></eof> \r\n") : pw::joinCrLf(stored));
    }

    void emptyStoredCopy_data()
    {
        QTest::addColumn<bool>("highlighting");
        QTest::addColumn<bool>("keywording");
        QTest::addColumn<bool>("storedCopyExists");
        QTest::addColumn<int>("logLines");
        QTest::addColumn<QByteArray>("page");
        // The change pass logs and leaves the page; the keyword pass that follows it checks
        // the stored copy again and does the same.
        QTest::newRow("change pass") << true << false << true << 1 << QByteArray("<p>x spam\r\n");
        QTest::newRow("missing stored copy") << true << false << false << 1 << QByteArray("<p>x spam\r\n");
        QTest::newRow("both passes") << true << true << true << 2 << QByteArray("<p>x spam\r\n");
        // Keywords alone need no stored copy.
        QTest::newRow("keyword pass alone")
            << false << true << false << 0 << QByteArray(" <p>x {spam} </eof></eof> \r\n");
    }
    void emptyStoredCopy()
    {
        QFETCH(bool, highlighting);
        QFETCH(bool, keywording);
        QFETCH(bool, storedCopyExists);
        QFETCH(int, logLines);
        QFETCH(QByteArray, page);

        QTemporaryDir dir;
        HighlightJob job = fileJob(dir, highlighting, keywording, u"spam"_s, true);
        Recorder recorder;
        recorder.attach(job);
        if (storedCopyExists)
            QVERIFY(pw::writelines(job.storedCopy, {}));
        QVERIFY(pw::writelines(job.pageFile, {"<p>x spam"}));
        highlightpage(job);

        QCOMPARE(recorder.log, QStringList(logLines, u"Highlighter Corruption Error (2)"_s + kUrl));
        QCOMPARE(shown(fileBytes(job.pageFile)), page);
        QCOMPARE(QFile::exists(job.storedCopy), storedCopyExists);
        if (storedCopyExists)
            QCOMPARE(fileBytes(job.storedCopy), QByteArray());
    }

    // A page file that cannot be read is never replaced, nor is the stored copy.
    void unreadablePageIsLeftAlone()
    {
        QTemporaryDir dir;
        HighlightJob job = fileJob(dir, true, true, u"x"_s, false);
        Recorder recorder;
        recorder.attach(job);
        QVERIFY(QDir().mkdir(job.pageFile)); // tests run as root: a folder stands in the way
        QVERIFY(pw::writelines(job.storedCopy, {"<p>old"}));
        highlightpage(job);
        QCOMPARE(fileBytes(job.storedCopy), QByteArray("<p>old\r\n"));
        QVERIFY(QFileInfo(job.pageFile).isDir());
        QCOMPARE(recorder.statuses, QStringList{u" 15%"_s});
    }

    // --- a real page ------------------------------------------------------------------

    // A manual page against a hand-edited copy, rendered the way the graphic-free browser
    // shows pages: the frames must hold exactly the changed and the new paragraph.
    void realPageRendered()
    {
        const QString originalPath = QFINDTESTDATA("data/libffi-introduction.html");
        const QString editedPath = QFINDTESTDATA("data/libffi-introduction-edited.html");
        QVERIFY(!originalPath.isEmpty() && !editedPath.isEmpty());

        QTemporaryDir dir;
        HighlightJob job = fileJob(dir, true, true, u"libffi ABI"_s, true);
        Recorder recorder;
        recorder.attach(job);

        // First retrieval: the raw page becomes the stored copy. Second: the edited page.
        QVERIFY(pw::writelines(job.storedCopy, pw::readlines(originalPath)));
        QVERIFY(pw::writelines(job.pageFile, pw::readlines(editedPath)));
        highlightpage(job);
        QVERIFY(recorder.log.isEmpty());

        const QByteArray marked = fileBytes(job.pageFile);
        QTextBrowser browser;
        browser.setHtml(QString::fromUtf8(marked));
        const QStringList frames = framedTexts(*browser.document());
        // The reworded paragraph and the new one; the moved paragraph and the comment's
        // new year are not framed. The last frame holds only the spaces after "</html>"
        // that a raw stored copy lacks.
        QCOMPARE(frames.size(), 3);
        QVERIFY2(frames[0].startsWith(u"Some programs may not know at the time of compilation"_s),
                 qPrintable(frames[0]));
        QVERIFY2(frames[0].contains(u"an interpreter may be informed at run-time"_s), qPrintable(frames[0]));
        QVERIFY2(frames[0].endsWith(u"compiled code."_s), qPrintable(frames[0]));
        QCOMPARE(frames[1], u"This paragraph is new in the edited copy."_s);
        QCOMPARE(frames[2], QString());

        // Keywords: "libffi" three times in the navigation line ("Using libffi<", ">libffi<"
        // twice), once in the second paragraph, twice in the moved one and once in the one
        // after it, each standing between tags or blanks; "ABI" once, in "<em>ABI</em>".
        // Not in the title ("(libffi:"), the heading ("libffi?") or any attribute.
        const QStringList keywords = keywordTexts(*browser.document());
        QCOMPARE(keywords.count(u"ABI"_s), 1);
        QCOMPARE(keywords.count(u"libffi"_s), 7);
        QCOMPARE(keywords.size(), 8);

        // The next retrieval brings the same page: no frame at all.
        QVERIFY(pw::writelines(job.pageFile, pw::readlines(editedPath)));
        job.keywording = false;
        highlightpage(job);
        browser.setHtml(QString::fromUtf8(fileBytes(job.pageFile)));
        QCOMPARE(framedTexts(*browser.document()), QStringList());
    }

private:
    static void collectFrames(QTextFrame *frame, QStringList &texts)
    {
        for (QTextFrame *child : frame->childFrames()) {
            if (auto *table = qobject_cast<QTextTable *>(child)) {
                const QTextTableFormat format = table->format();
                if (format.background().color() == QColor(QString::fromLatin1(kColour)) && format.border() == 3) {
                    QTextCursor cursor = table->firstCursorPosition();
                    cursor.setPosition(table->lastCursorPosition().position(), QTextCursor::KeepAnchor);
                    texts.append(cursor.selectedText().replace(QChar::ParagraphSeparator, u' ').simplified());
                }
            }
            collectFrames(child, texts);
        }
    }
    static QStringList framedTexts(QTextDocument &document)
    {
        QStringList texts;
        collectFrames(document.rootFrame(), texts);
        return texts;
    }
    static QStringList keywordTexts(QTextDocument &document)
    {
        QStringList texts;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                const QTextCharFormat format = fragment.charFormat();
                if (format.fontWeight() == QFont::Bold
                    && format.foreground().color() == QColor(QString::fromLatin1(kKeyColour)))
                    texts.append(fragment.text());
            }
        }
        return texts;
    }
};

QTEST_MAIN(TestHighlighter)
#include "tst_highlighter.moc"
