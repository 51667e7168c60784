// quelta-cli --json: for every subcommand stdout holds exactly one JSON
// object that a standard parser reads, with the values the run printed as
// text; progress and result paths stay on stderr. The JSON writer's string
// escaping is checked against the parser with hostile file names.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "json_writer.h"
#include "test_files.h"

namespace {

using calctest::RunCli;
using calctest::Sample;

std::string Quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs python3 on the JSON text with a check written against `d`, the
// parsed object; true when it parses and the check holds.
bool PythonCheck(const calctest::ScratchDir& dir, const std::string& json,
                 const std::string& check) {
    const std::string file = dir.Path("out.json");
    calctest::WriteText(file, json);
    const std::string script = "import json,math,sys\n"
                               "d = json.load(open(sys.argv[1], encoding='utf-8'))\n"
                               "assert " +
                               check + ", d\n";
    const std::string command = "python3 -c " + Quote(script) + " " + Quote(file) + " >" +
                                Quote(dir.Path("py.err")) + " 2>&1";
    const bool ok = std::system(command.c_str()) == 0;
    if (!ok)
        ADD_FAILURE() << check << "\n" << json << "\n" << calctest::ReadText(dir.Path("py.err"));
    return ok;
}

TEST(CliJsonTest, EverySubcommandPrintsOneParsableObject) {
    calctest::ScratchDir dir("cli-json");
    const std::string odf = dir.Path("odf.HODF");
    const std::string hodf = dir.Path("arb.HODF");
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string check; // python expression over d
    } rows[] = {
        {"odf classic",
         {"odf", "-s", "-n", "--max-loops", "4", "--json", "-o", odf, "--pf",
          Sample("rolling_111.HPF"), "1", "1", "1", "--pf", Sample("rolling_200.HPF"), "2", "0",
          "0"},
         "d['command'] == 'odf' and d['inputs']['engine'] == 'classic' and "
         "len(d['inputs']['poleFigures']) == 2 and d['inputs']['poleFigures'][1]['hkl'] == [2, 0, "
         "0] and d['grid'] == {'resolution': 5, 'phi1': 19, 'Phi': 19, 'phi2': 19} and "
         "d['loops'] == 4 and 0 < d['finalDeviation'] < 1 and d['outputs']['odf'] == '" +
             odf + "' and d['timings']['total'] >= d['timings']['calculation'] >= 0"},
        {"odf arbitrary",
         {"odf",    "-s", "-n", "--engine", "arbitrary",
          "--json", "-o", hodf, "--pf",     Sample("rolling_111.HPF"),
          "1",      "1",  "1",  "--pf",     Sample("rolling_200.HPF"),
          "2",      "0",  "0",  "--pf",     Sample("rolling_220.HPF"),
          "2",      "2",  "0"},
         "d['inputs']['engine'] == 'arbitrary' and d['grid']['phi1'] == 19"},
        {"pf compared",
         {"pf", hodf, "--engine", "arbitrary", "--json", "--hkl", "2", "0", "0", "-o",
          dir.Path("p.HPF"), "--compare", Sample("rolling_200.HPF")},
         "d['command'] == 'pf' and d['inputs']['hkl'] == [2, 0, 0] and "
         "d['grid'] == {'resolution': 5, 'alpha': 19, 'beta': 73} and len(d['rp']) == 1 and "
         "0 < d['rp'][0]['percent'] < 1.5 and d['outputs']['poleFigure'].endswith('p.HPF')"},
        {"pf not compared",
         {"pf", odf, "--json", "-o", dir.Path("q.HPF")},
         "d['rp'] == [] and d['inputs']['engine'] == 'classic'"},
        {"ipf",
         {"ipf", odf, "--json", "--axis", "TD", "-o", dir.Path("n.HIPF")},
         "d['command'] == 'ipf' and d['inputs']['alpha'] == 90 and d['inputs']['beta'] == 90 and "
         "d['outputs']['inversePoleFigure'].endswith('n.HIPF')"},
        {"info",
         {"info", "--json", odf, Sample("rolling_111.HPF"), dir.Path("n.HIPF")},
         "[f['kind'] for f in d['files']] == ['ODF', 'pole figure', 'inverse pole figure'] and "
         "all(f['readable'] for f in d['files']) and d['files'][0]['loops'] == 4 and "
         "d['files'][1]['grid'] == {'alpha': 19, 'beta': 73}"},
    };
    for (const Row& row : rows) {
        calctest::CliRun run = RunCli(row.args);
        ASSERT_EQ(run.exitCode, 0) << row.name << "\n" << run.err;
        // One line: the object and nothing else.
        ASSERT_FALSE(run.out.empty()) << row.name;
        EXPECT_EQ(run.out.find('\n'), run.out.size() - 1) << row.name << "\n" << run.out;
        EXPECT_TRUE(PythonCheck(dir, run.out, row.check)) << row.name;
    }
    // pf and ipf print the result path on stderr with --json.
    calctest::CliRun run = RunCli({"ipf", odf, "--json", "-o", dir.Path("m.HIPF")});
    EXPECT_NE(run.err.find("Inverse pole figure: "), std::string::npos) << run.err;

    // A file that does not read: exit 1, still one object, with the reason.
    calctest::WriteText(dir.Path("junk.HPF"), "junk\n");
    run = RunCli({"info", "--json", dir.Path("junk.HPF")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(PythonCheck(dir, run.out,
                            "d['files'][0]['readable'] is False and d['files'][0]['error'] != ''"));
}

// Output paths with quotes, backslashes, control characters, non-ASCII
// UTF-8 and a byte that is not UTF-8 come back from the parser as written
// (the stray byte as U+FFFD).
TEST(CliJsonTest, PathsWithAwkwardCharactersAreEscaped) {
    calctest::ScratchDir dir("cli-json-names");
    const std::string name = "a\"b\\c\td\x01 \xC3\xA9\xE6\x96\x87\xF0\x9F\x98\x80 \xFF.HODF";
    const std::string out = dir.Path(name);
    calctest::CliRun run = RunCli({"odf", "-s", "--max-loops", "1", "--json", "-o", out, "--pf",
                                   Sample("rolling_111.HPF"), "1", "1", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string expected =
        "a\\\"b\\\\c\\td\\x01 \\u00e9\\u6587\\U0001F600 \\ufffd.HODF"; // as a Python literal
    EXPECT_TRUE(PythonCheck(dir, run.out, "d['outputs']['odf'].endswith(\"" + expected + "\")"));
}

struct EscapeRow {
    const char* name;
    std::string text, json;
};

TEST(JsonWriterTest, StringsAndNumbers) {
    const EscapeRow rows[] = {
        {"plain", "abc", "\"abc\""},
        {"quote and backslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
        {"short escapes", "\n\r\t\b\f", "\"\\n\\r\\t\\b\\f\""},
        {"other controls", std::string("\x01\x1f\x7f", 3), "\"\\u0001\\u001f\\u007f\""},
        {"nul", std::string("a\0b", 3), "\"a\\u0000b\""},
        {"utf-8 kept", "\xC3\xA9\xF0\x9F\x98\x80", "\"\xC3\xA9\xF0\x9F\x98\x80\""},
        {"stray byte", "a\xFF", "\"a\\ufffd\""},
        {"cut sequence", "\xE6\x96", "\"\\ufffd\\ufffd\""},
        {"overlong slash", "\xC0\xAF", "\"\\ufffd\\ufffd\""},
        {"surrogate", "\xED\xA0\x80", "\"\\ufffd\\ufffd\\ufffd\""},
    };
    for (const EscapeRow& row : rows)
        EXPECT_EQ(quelta_cli::JsonString(row.text), row.json) << row.name;

    quelta_cli::JsonWriter json;
    json.BeginObject().Key("a").BeginArray();
    json.Number(0.1).Number(1e300).Number(-2).Number(std::nan("")).Number(1.0 / 0.0).Integer(7);
    json.Bool(false).Null().EndArray().Key("o").BeginObject().EndObject().EndObject();
    EXPECT_EQ(json.Text(), "{\"a\":[0.1,1e+300,-2,null,null,7,false,null],\"o\":{}}");
}

} // namespace
