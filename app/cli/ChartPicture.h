#pragma once
// The chart command's pictures: --png FILE, --pdf FILE and --plum.
#include <CLI/CLI.hpp>

#include <string>

#include "chart/Liuyaoex.h"

namespace qingheng::cli {

struct ChartPictureArgs {
    std::string png;
    std::string pdf;
    bool plum = false;  // the plum-blossom report instead of the six-lines report

    bool wanted() const { return !png.empty() || !pdf.empty(); }
};

void addChartPictureOptions(CLI::App* cmd, ChartPictureArgs& a);

// Writes the pictures asked for; throws CommandError with the message when a file cannot be written.
void writeChartPictures(const CLiuYaoEx& engine, const ChartPictureArgs& a);

}  // namespace qingheng::cli
