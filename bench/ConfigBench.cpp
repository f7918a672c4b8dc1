// Reading configuration text: every package description and language file
// passes through this reader when the package and language menus are built.
#include "ConfParser.h"

#include <benchmark/benchmark.h>
#include <sstream>

namespace {

std::string languageFileText(int lines)
{
    std::string text = "# generated\n__language=English\n";
    for (int i = 0; i < lines; ++i)
        text += "text_id_" + std::to_string(i) + "=\"Some words of text " + std::to_string(i) + "\"\n";
    return text;
}

void BM_ReadLanguageFile(benchmark::State& state)
{
    const std::string text = languageFileText(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ConfParser conf("/nonexistent", 1);
        std::istringstream in(text);
        conf.read(in);
        benchmark::DoNotOptimize(conf.parameters.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReadLanguageFile)->Arg(40)->Arg(400);

void BM_LookupLastKey(benchmark::State& state)
{
    ConfParser conf("/nonexistent", 1);
    std::istringstream in(languageFileText(40));
    conf.read(in);
    std::string out;
    for (auto _ : state)
        benchmark::DoNotOptimize(conf.value("text_id_39", &out));
}
BENCHMARK(BM_LookupLastKey);

} // namespace

BENCHMARK_MAIN();
