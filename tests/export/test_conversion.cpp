#include "export/conversion.h"
#include "files/edf_file.h"
#include "support/data_files.h"
#include "support/program_run.h"

#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>
#include <sstream>

namespace trazel::testing {
namespace {

std::string textOf(const std::filesystem::path& file) {
    const Bytes bytes = readBytes(file);
    return {bytes.begin(), bytes.end()};
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line, '\n');) {
        lines.push_back(line);
    }
    return lines;
}

// Every "{in}" and "{out}" of a text replaced by the paths.
std::string withPaths(std::string text, const ConversionRequest& request) {
    for (const auto& [name, path] :
         {std::pair{std::string_view("{in}"), &request.in}, {std::string_view("{out}"), &request.out}}) {
        for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name)) {
            text.replace(at, name.size(), path->string());
        }
    }
    return text;
}

// Two traces at 100 Hz: a stimulus on the last point, the marker on over the middle one.
const Bytes TwoTraces =
    versionedFile(recordedHeader(2, {1, 2, 0}, 10000), {1, -2, 300, 4, -32768, 32767}, {0, 100, 200});

struct CsvCase {
    const char* name;
    std::string in;
    Bytes bytes;
    std::string channels, prnChannels, prnRate;
    std::string csv;
};

TEST(Conversion, WritesRecordedAndLabtechFilesAsCsv) {
    const CsvCase cases[] = {
        {"continuous recording with markers", "two.bin", TwoTraces, "", "", "",
         "time (s),ch1,ch2,marker\r\n0,1,-2,0\r\n0.01,300,4,100\r\n0.02,-32768,32767,200\r\n"},
        {"traces chosen by number and label", "two.bin", TwoTraces, "2, ch1", "", "",
         "time (s),ch2,ch1,marker\r\n0,-2,1,0\r\n0.01,4,300,100\r\n0.02,32767,-32768,200\r\n"},
        {"block recording, the last sweep short", "block.bin",
         versionedFile(recordedHeader(1, {1, 0, 0}, 1000, 2), {5, 6, 7}, {200, 0, 0}), "", "", "",
         "sweep,time (s),ch1,marker\r\n1,0,5,200\r\n1,0.001,6,0\r\n2,0,7,0\r\n"},
        {"headerless recording", "old.bin", headerlessFile(20, 2, {3, -4, 5, -6}), "", "2", "",
         "time (s),ch1,ch2,marker\r\n0,3,-4,0\r\n0.02,5,-6,0\r\n"},
        {"Labtech file, values as shown", "lab.prn", prnFile({1.5F, -0.25F, 2, -0.125F}), "", "2", "300",
         "time (s),ch1,ch2,marker\r\n0,150,-25,0\r\n0.0033333333333333335,200,-12.5,0\r\n"},
    };
    for (const CsvCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestFiles files;
        const ConversionRequest request{files.write(c.in, c.bytes), files.path("out.csv"), c.channels,
                                        c.prnChannels, c.prnRate};
        std::string message;
        ASSERT_EQ(convertFile(request, message), Converted) << message;
        EXPECT_EQ(message,
                  std::to_string(linesOf(c.csv).size() - 1) + " points written to " + request.out.string());
        EXPECT_EQ(textOf(request.out), c.csv);
    }
}

TEST(Conversion, KeepsEverySampleMarkAndSweepThroughEdfAndBdf) {
    std::vector<std::int16_t> samples;
    std::vector<std::int16_t> markers(250, 0);
    for (int i = 0; i < 250; ++i) {
        samples.insert(samples.end(),
                       {static_cast<std::int16_t>(i * 131 - 16000), static_cast<std::int16_t>(-i)});
    }
    markers[10] = 200;
    std::fill(markers.begin() + 50, markers.begin() + 60, 100);
    TestFiles files;
    const auto recorded =
        files.write("sweeps.bin", versionedFile(recordedHeader(2, {1, 2, 0}, 1000, 100), samples, markers));
    std::string message;
    ASSERT_EQ(convertFile({.in = recorded, .out = files.path("direct.csv")}, message), Converted) << message;
    for (const char* name : {"sweeps.edf", "sweeps.bdf"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(convertFile({.in = recorded, .out = files.path(name)}, message), Converted) << message;
        std::optional<EdfReader> reader = EdfReader::open(files.path(name), message);
        ASSERT_TRUE(reader) << message;
        ASSERT_EQ(reader->signalList().size(), 2U);
        for (int c = 0; c < 2; ++c) {
            std::vector<float> values(250);
            ASSERT_TRUE(reader->readPhysical(c, values, message)) << message;
            for (std::size_t i = 0; i < values.size(); ++i) {
                ASSERT_EQ(values[i], samples[2 * i + static_cast<std::size_t>(c)]) << c << " at " << i;
            }
        }
        const std::vector<SignalEvent> events{{0, -1, "Sweep 1"},
                                              {0.01, -1, "Stimulus"},
                                              {0.05, 0.01, "Marker"},
                                              {0.1, -1, "Sweep 2"},
                                              {0.2, -1, "Sweep 3"}};
        EXPECT_EQ(reader->events(message), events);
        reader.reset();
        ASSERT_EQ(convertFile({.in = files.path(name), .out = files.path("back.csv")}, message), Converted)
            << message;
        EXPECT_EQ(textOf(files.path("back.csv")), textOf(files.path("direct.csv")))
            << "the sweeps, marks and values come back as the recording holds them";
    }
}

struct EdfCase {
    std::string file;
    std::string channels;
    std::string header;
    std::vector<double> firstValues; // the values MNE-Python reads (tests/files/edf_reference.txt)
    std::vector<std::size_t> stimuli;
};

TEST(Conversion, ChoosesEdfSignalsByNumberOrLabel) {
    if (!std::filesystem::exists(Recordings)) {
        GTEST_SKIP() << "the recordings are not at " << Recordings;
    }
    const EdfCase cases[] = {
        {"edf/test_edf_stim_channel.edf",
         "",
         "time (s),EEG Fp1 (uV),EEG Fp2 (uV),EEG F7 (uV),marker",
         {175940.6563, -217680.2644, 176086.3908},
         {121, 170, 193, 255, 307, 340, 388, 528, 558, 591, 644, 668}},
        {"edf/test_edf_stim_channel.edf",
         "EEG Fz, 3",
         "time (s),EEG Fz (uV),EEG F7 (uV),marker",
         {-217793.5619, 176086.3908},
         {121, 170, 193, 255, 307, 340, 388, 528, 558, 591, 644, 668}},
        {"bdf/test_bdf_stim_channel.bdf",
         "Cz",
         "time (s),Cz (uV),marker",
         {7399.913831},
         {242, 310, 952, 1606, 2249, 2900, 3537, 4162, 4790}},
    };
    for (const EdfCase& c : cases) {
        SCOPED_TRACE(c.file + " --channels " + c.channels);
        TestFiles files;
        std::string message;
        ASSERT_EQ(
            convertFile({.in = Recordings / c.file, .out = files.path("out.csv"), .channels = c.channels},
                        message),
            Converted)
            << message;
        const std::vector<std::string> lines = linesOf(textOf(files.path("out.csv")));
        EXPECT_EQ(lines.at(0), c.header + "\r");
        std::istringstream first(lines.at(1));
        std::string cell;
        std::getline(first, cell, ',');
        EXPECT_EQ(cell, "0");
        for (const double expected : c.firstValues) {
            std::getline(first, cell, ',');
            EXPECT_NEAR(std::stod(cell), expected, 1e-7 * std::abs(expected) + 1e-4);
        }
        std::vector<std::size_t> stimuli;
        for (std::size_t row = 1; row < lines.size(); ++row) {
            if (lines[row].ends_with(",200\r")) {
                stimuli.push_back(row - 1);
            }
        }
        EXPECT_EQ(stimuli, c.stimuli) << "each trigger a stimulus";
    }
}

struct Refusal {
    const char* name;
    std::string in;
    std::optional<Bytes> bytes; // none: IN does not exist
    std::string out;
    std::string channels, prnChannels, prnRate;
    int status;
    std::string message;
};

TEST(Conversion, RefusesWhatItCannotConvertAndWritesNothing) {
    const std::string noSignal = "--channels: {in} has no signal ";
    const std::string damaged = "cannot convert {in}: the file is damaged or no recording of this program";
    const Refusal cases[] = {
        {"unknown kind of OUT", "two.bin", TwoTraces, "out.txt", "", "", "", ConversionRefused,
         "{out}: the file to write must end in .edf, .bdf or .csv"},
        {"unknown kind of IN", "two.dat", TwoTraces, "out.csv", "", "", "", ConversionRefused,
         "{in}: the file to convert must be a recording the program reads (.bin, .prn, .edf, .bdf, .abf, "
         ".hea, .gdf, .vhdr, .scp, .cfs, .cnt)"},
        {"missing recording", "gone.bin", std::nullopt, "out.csv", "", "", "", ConversionFailed,
         "cannot convert {in}: the file cannot be opened"},
        {"missing EDF", "gone.edf", std::nullopt, "out.bdf", "", "", "", ConversionFailed,
         "cannot convert {in}: the file cannot be opened"},
        {"no EDF file", "bad.edf", Bytes(300, '0'), "out.edf", "", "", "", ConversionFailed,
         "cannot convert {in}: the file is not EDF(+) or BDF(+)"},
        {"recording of no channel", "none.bin", versionedFile(recordedHeader(0, {0, 0, 0}, 1000), {}, {0}),
         "out.csv", "", "", "", ConversionFailed, damaged},
        {"block recording without a whole sweep", "short.bin",
         versionedFile(recordedHeader(1, {1, 0, 0}, 1000, 4), {1, 2, 3}, {0, 0, 0}), "out.csv", "", "", "",
         ConversionFailed, damaged},
        {"number beyond the traces", "two.bin", TwoTraces, "out.csv", "1,3", "", "", ConversionRefused,
         noSignal + "\"3\"; it has 1 to 2, by number or label"},
        {"unknown label", "two.bin", TwoTraces, "out.csv", "ch2,Fz", "", "", ConversionRefused,
         noSignal + "\"Fz\"; it has 1 to 2, by number or label"},
        {"empty entry", "two.bin", TwoTraces, "out.csv", "1,", "", "", ConversionRefused,
         noSignal + "\"\"; it has 1 to 2, by number or label"},
        {"a trace twice", "two.bin", TwoTraces, "out.csv", "1,ch1", "", "", ConversionRefused,
         "--channels takes one to three different signals of one rate"},
        {"headerless recording without a channel count", "old.bin", headerlessFile(20, 1, {1, 2}), "out.csv",
         "", "", "", ConversionRefused,
         "{in} has no header: --prn-channels must give its number of channels, 1 to 3"},
        {"Labtech file of three channels", "lab.prn", prnFile({1, 2, 3}), "out.csv", "", "3", "100",
         ConversionRefused,
         "--prn-channels must give the number of channels of the Labtech file {in}, 1 or 2"},
        {"Labtech file without a rate", "lab.prn", prnFile({1, 2}), "out.csv", "", "1", "", ConversionRefused,
         "--prn-rate must give the sampling rate of the Labtech file {in} in Hz, above 0"},
        {"Labtech file at no rate", "lab.prn", prnFile({1, 2}), "out.edf", "", "1", "0", ConversionRefused,
         "--prn-rate must give the sampling rate of the Labtech file {in} in Hz, above 0"},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.name);
        TestFiles files;
        const ConversionRequest request{c.bytes ? files.write(c.in, *c.bytes) : files.path(c.in),
                                        files.path(c.out), c.channels, c.prnChannels, c.prnRate};
        std::string message;
        EXPECT_EQ(convertFile(request, message), c.status);
        EXPECT_EQ(message, withPaths(c.message, request));
        EXPECT_FALSE(std::filesystem::exists(request.out));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(files.path("")), {}), c.bytes ? 1 : 0)
            << "nothing else is left behind";
    }
}

TEST(CommandLineConversion, ConvertsWithoutADisplayAndSaysWhyItCannot) {
    if (!std::filesystem::exists(Recordings)) {
        GTEST_SKIP() << "the recordings are not at " << Recordings;
    }
    TestFiles files;
    const QString in = QString::fromStdString((Recordings / "edf/test_edf_stim_channel.edf").string());
    const QString out = QString::fromStdString(files.path("fz.csv").string());
    const ProgramRun converted = trazel({"--convert", in, out, "--channels", "EEG Fz"});
    ASSERT_EQ(converted.status, 0) << converted.err.toStdString();
    EXPECT_EQ(converted.err, "1228 points written to " + out + "\n");
    EXPECT_TRUE(textOf(files.path("fz.csv")).starts_with("time (s),EEG Fz (uV),marker\r\n0,-217793."));

    const QString gone = QString::fromStdString(files.path("gone.bin").string());
    const ProgramRun missing = trazel({"--convert", gone, out + ".edf"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "trazel: cannot convert " + gone + ": the file cannot be opened\n");
    const ProgramRun noOut = trazel({"--convert", in});
    EXPECT_EQ(noOut.status, 2);
    EXPECT_EQ(noOut.err, "trazel: --convert takes the file to convert and the file to write: trazel "
                         "--convert IN OUT\n");
    EXPECT_FALSE(std::filesystem::exists(files.path("fz.csv.edf")));
}

TEST(CommandLineConversion, HelpListsTheConversionOptions) {
    const ProgramRun help = trazel({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--convert <in>", "--prn-channels <n>", "--prn-rate <hz>", "--channels <list>",
                               "(any recording File > Open", "With --convert: the signals"}) {
        EXPECT_TRUE(help.out.contains(QLatin1String(option))) << option << "\n" << help.out.toStdString();
    }
}

} // namespace
} // namespace trazel::testing
