#include "tests/modrender/run_tool.h"

#include "tests/support/process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

std::string scratch_path(const std::string& suffix)
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string("modrender-") + info->test_suite_name() + "-" + info->name() + suffix;
}

ToolRun run_modrender(std::vector<std::string> args)
{
    args.insert(args.begin(), MODRENDER_BIN);
    Child child = process_start(args, ".");
    ToolRun r;
    r.status = process_wait(child, 540000);  // ms, ample for a whole module under the sanitizers
    r.out = child.output;
    r.err = child.errors;
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
