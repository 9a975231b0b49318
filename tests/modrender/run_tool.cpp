#include "tests/modrender/run_tool.h"

#include "tests/e2e/process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/wait.h>

namespace {

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

std::string scratch_path(const std::string& suffix)
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string("modrender-") + info->test_suite_name() + "-" + info->name() + suffix;
}

void write_file(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

ToolRun run_modrender(const std::string& args)
{
    const std::string out = scratch_path(".stdout"), err = scratch_path(".stderr");
    std::string cmd;
    for (const std::string& word : process_emulator())
        cmd += "'" + word + "' ";
    cmd += std::string("'") + MODRENDER_BIN + "' " + args + " >'" + out + "' 2>'" + err + "'";
    const int raw = std::system(cmd.c_str());
    ToolRun r;
    r.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = slurp(out);
    r.err = slurp(err);
    std::remove(out.c_str());
    std::remove(err.c_str());
    return r;
}

std::map<std::string, std::string> parse_summary(const std::string& text)
{
    std::map<std::string, std::string> fields;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("modrender: frames=", 0) != 0)
            continue;
        std::istringstream words(line.substr(11));
        std::string w;
        while (words >> w) {
            const size_t eq = w.find('=');
            if (eq != std::string::npos)
                fields[w.substr(0, eq)] = w.substr(eq + 1);
        }
    }
    return fields;
}

std::vector<TraceRow> parse_rows(const std::string& text)
{
    std::vector<TraceRow> rows;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        TraceRow r{};
        long long frame = 0;
        if (std::sscanf(line.c_str(), "row %lld %d %d %d %d %d", &frame, &r.order, &r.pattern, &r.row,
                        &r.speed, &r.tempo) == 6) {
            r.frame = frame;
            rows.push_back(r);
        }
    }
    return rows;
}
