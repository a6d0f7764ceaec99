// Composing one letter from a whole request list: time must grow with the list, not its square.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "request/compose.h"

namespace {

const qp::IniFile& FtpButton() {
  static const qp::IniFile buttons(
      "[Button 1]\r\nSubject=%request% #%counter%\r\n[body 1]\r\nCount=5\r\n0=open %host%\r\n1=cd %dir%\r\n"
      "2=mode binary\r\n3=size %size%K\r\n4=get %filename%\r\n5=quit\r\n");
  return buttons;
}

void ComposeList(benchmark::State& state) {
  const auto entries = static_cast<int>(state.range(0));
  std::vector<std::string> list;
  for (int i = 0; i < entries; ++i) {
    // Half with a directory, half without, so the directory line is dropped as often as kept.
    list.push_back(i % 2 ? "ftp://ftp.example.org/pub/dir" + std::to_string(i) + "/file" + std::to_string(i) + ".zip"
                         : "ftp.example.org/file" + std::to_string(i) + ".zip|entry " + std::to_string(i));
  }
  qp::WorkingBody body;
  for (auto _ : state) {
    body.Clear();
    qp::TemplateValues values{.password = "pw", .size = "500", .counter = 0};
    for (const std::string& entry : list) {
      benchmark::DoNotOptimize(qp::ComposeRequest(FtpButton(), 1, entry, values, body));
    }
    benchmark::DoNotOptimize(body.Lines().data());
  }
  state.counters["lines"] = static_cast<double>(body.Lines().size());
}
BENCHMARK(ComposeList)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
