#include "base/tqlog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <thread>

TEST(TQLog, LineCarriesContextAndUtf8Message) {
    TQLogCapture capture(g_tqLogError);
    g_tqLogError.SetLogInfo("lib/src/widget", "Widget::Load", 42);
    // GBK for "错了呀" followed by English.
    g_tqLogError.Log(TQLOG_ERROR_PREFIX "Open fail. [n=%d, name='%s']\n", 7, "a.ani");
    g_tqLogError.Log("no context");
    std::vector<std::string> lines = capture.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "[error] lib/src/widget:42 Widget::Load: \xe9\x94\x99\xe4\xba\x86\xe5\x91\x80"
                        "Open fail. [n=7, name='a.ani']");
    // The context applies to one message only.
    EXPECT_EQ(lines[1], "[error] no context");
}

TEST(TQLog, LongAndMultiLineMessagesStayWholeOnOneLine) {
    TQLogCapture capture(g_tqLogDebug);
    std::string text(100000, 'x');
    g_tqLogDebug.Log("%s|%s", text.c_str(), "first\nsecond");
    g_tqLogDebug.Log(nullptr);
    g_tqLogDebug.SetLogInfo(nullptr, nullptr, 0);
    g_tqLogDebug.Log("%s", "");
    std::vector<std::string> lines = capture.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "[debug] " + text + "|first second");
    EXPECT_EQ(lines[1], "[debug] :0 : ");
}

TEST(TQLog, ContextsOfThreadsDoNotMix) {
    TQLogCapture capture(g_tqLogDebug);
    auto worker = [](int id) {
        for (int i = 0; i < 200; ++i) {
            g_tqLogDebug.SetLogInfo("file", "F", id);
            g_tqLogDebug.Log("%d", id);
        }
    };
    std::thread a(worker, 1), b(worker, 2);
    a.join();
    b.join();
    std::vector<std::string> lines = capture.Lines();
    ASSERT_EQ(lines.size(), 400u);
    for (const std::string& line : lines)
        EXPECT_TRUE(line == "[debug] file:1 F: 1" || line == "[debug] file:2 F: 2") << line;
}

TEST(TQLog, WritesToFileAndCaptureRestoresDestination) {
    std::string path = ::testing::TempDir() + "tqlog_test.log";
    std::remove(path.c_str());
    TQLog log("file");
    ASSERT_TRUE(log.SetLogFile(path.c_str()));
    EXPECT_FALSE(log.SetLogFile("/nonexistent-dir/x.log"));
    {
        TQLogCapture capture(log);
        log.Log("captured");
        EXPECT_TRUE(capture.Contains("captured"));
    }
    log.Log("one");
    log.Log("two");
    log.SetLogFile(nullptr);
    std::ifstream in(path);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "[file] one\n[file] two\n");
    std::remove(path.c_str());
}
