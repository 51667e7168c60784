#include "unmeasured_option.h"

#include "calcjobs/measured_cells.h"

namespace quelta_cli {

void AddUnmeasuredOption(CLI::App* command, std::string* rule) {
    *rule = "none";
    command
        ->add_option("--unmeasured", *rule,
                     "which cells of the measured pole figures count as not measured, besides "
                     "those the file's layout marks (tilt range, missing rings and azimuths): "
                     "none, or zero-runs (in a ring holding non-zero values, every run of three "
                     "or more exact zeros, cyclic in beta); default none, since a zero can be a "
                     "real measured value")
        ->type_name("none|zero-runs")
        ->check(CLI::Validator(
            [](std::string& text) {
                calcjobs::UnmeasuredRule ignored;
                return calcjobs::ParseUnmeasuredRule(text, &ignored)
                           ? std::string()
                           : "--unmeasured takes none or zero-runs, not \"" + text + "\"";
            },
            ""));
}

} // namespace quelta_cli
