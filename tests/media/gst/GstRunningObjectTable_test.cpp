#include "media/gst/GstRunningObjectTable.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <filesystem>

#include "media/GraphRunningTable.h"
#include "media/TFilterGraph.h"
#include "media/gst/GstTestKit.h"

namespace {

using namespace media;
using namespace media::gst;
namespace fs = std::filesystem;

// Graph files go to a runtime folder of the test's own.
class GstRunningObjectTableTest : public gsttest::BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    if (const char* old = g_getenv("XDG_RUNTIME_DIR")) previous_ = old;
    g_setenv("XDG_RUNTIME_DIR", runtime_.path().toUtf8().constData(), TRUE);
  }
  void TearDown() override {
    if (previous_) g_setenv("XDG_RUNTIME_DIR", previous_->c_str(), TRUE);
    else g_unsetenv("XDG_RUNTIME_DIR");
    BackendTest::TearDown();
  }

  fs::path Folder() const { return fs::path(runtime_.path().toStdString()) / "quadrovia" / "graphs"; }
  std::vector<fs::path> Files() const {
    std::vector<fs::path> files;
    if (fs::exists(Folder()))
      for (const auto& entry : fs::directory_iterator(Folder())) files.push_back(entry.path());
    return files;
  }
  static std::string Read(const fs::path& path) {
    QFile file(QString::fromStdString(path.string()));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
  }

  QTemporaryDir runtime_;
  std::optional<std::string> previous_;
};

TEST_F(GstRunningObjectTableTest, APublishedGraphIsAFileThatFollowsItsConnectionsAndGoesAtRevoke) {
  auto graph = gsttest::NewGraph();
  DWORD cookie = 0;
  ASSERT_EQ(AddGraphToRunningTable(graph, cookie), S_OK);
  ASSERT_NE(cookie, 0u);
  const auto files = Files();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].filename().string(), GraphItemName(static_cast<IUnknown*>(graph.get()), static_cast<unsigned long>(::getpid())) + ".dot");
  EXPECT_EQ(fs::status(Folder()).permissions() & (fs::perms::group_all | fs::perms::others_all), fs::perms::none);
  EXPECT_EQ(Read(files[0]).rfind("digraph", 0), 0u);

  auto source = std::make_shared<gsttest::SourceFilter>();
  auto sink = std::make_shared<gsttest::SinkFilter>();
  graph->AddFilter(source, u"Filter1");
  graph->AddFilter(sink, u"VideoWindow1");
  EXPECT_NE(Read(files[0]).find("Filter1"), std::string::npos);
  EXPECT_EQ(Read(files[0]).find("->"), std::string::npos);
  graph->ConnectDirect(source->Out(), sink->In(), nullptr);
  EXPECT_NE(Read(files[0]).find("f0:o0 -> f1:i0"), std::string::npos) << Read(files[0]);
  sink->In()->Disconnect();
  EXPECT_EQ(Read(files[0]).find("->"), std::string::npos);

  EXPECT_EQ(RemoveGraphFromRunningTable(cookie), S_OK);
  EXPECT_TRUE(Files().empty());
  EXPECT_EQ(RemoveGraphFromRunningTable(cookie), E_INVALIDARG);
}

// Each active period of a channel graph has its own entry.
TEST_F(GstRunningObjectTableTest, AGraphEditGraphIsPublishedWhileActive) {
  TFilterGraph graph("FilterGraph1");
  graph.SetGraphEdit(true);
  EXPECT_TRUE(Files().empty());
  graph.SetActive(true);
  const auto first = Files();
  ASSERT_EQ(first.size(), 1u);
  graph.SetActive(false);
  EXPECT_TRUE(Files().empty());
  graph.SetActive(true);
  ASSERT_EQ(Files().size(), 1u);
  graph.SetActive(false);
}

TEST_F(GstRunningObjectTableTest, AFolderThatIsNotTheUsersOwnIsNotWrittenInto) {
  const fs::path elsewhere = fs::path(runtime_.path().toStdString()) / "elsewhere";
  fs::create_directories(elsewhere);
  fs::create_directories(Folder().parent_path());
  fs::create_directory_symlink(elsewhere, Folder());

  auto graph = gsttest::NewGraph();
  DWORD cookie = 0;
  EXPECT_EQ(AddGraphToRunningTable(graph, cookie), S_OK) << "the graph is still registered";
  EXPECT_TRUE(fs::is_empty(elsewhere));
  std::shared_ptr<IRunningObjectTable> table;
  ASSERT_EQ(GetRunningObjectTable(0, table), S_OK);
  EXPECT_EQ(std::dynamic_pointer_cast<GstRunningObjectTable>(table)->FileOf(cookie), "");
  RemoveGraphFromRunningTable(cookie);
}

}  // namespace
