#include "commands.h"

#include <ctype.h>
#include <errno.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <map>
#include <set>

#include "explain.h"
#include "picture.h"
#include "plainbmp.h"
#include "platform.h"
#include "pngwrite.h"
#include "skinformat.h"
#include "skinheader.h"

namespace {

const char Usage[] =
    "使い方:\n"
    "  qvetool pack 絵.bmp -o スキン.qve [--author 作成者] [--name データ名] [--home URL] [--mail アドレス]\n"
    "               [--face X,Y] [--dock 重なり,高さ] [--force]\n"
    "  qvetool unpack スキン.qve -o 絵.bmp [--force]\n"
    "  qvetool check スキン.qve\n"
    "  qvetool preview スキン.qve -o 見本.png [--time HH:MM:SS] [--12h] [--force]\n";

struct Command {
    std::vector<std::string> files;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    bool has(const char *option) const { return values.count(option) || flags.count(option); }
};

struct Run {
    Console *console;
    int fail(const std::string &message)
    {
        console->err += "qvetool: " + message + "\n";
        return EXIT_REFUSED;
    }
    int usage(const std::string &message)
    {
        console->err += "qvetool: " + message + "\n" + Usage;
        return EXIT_USAGE;
    }
    void warn(const std::string &message) { console->err += "警告: " + message + "\n"; }
    void say(const std::string &message) { console->out += message + "\n"; }
};

// Splits the arguments after the sub-command into files, options with a
// value and plain flags. Returns 0 (with the usage told) on a mistake.
int ParseCommand(Run &run, const std::vector<std::string> &arguments, const std::set<std::string> &withValue,
                 const std::set<std::string> &plain, size_t fileCount, Command *command)
{
    for (size_t i = 1; i < arguments.size(); i++) {
        const std::string &argument = arguments[i];
        if (argument.size() > 1 && argument[0] == '-') {
            if (command->has(argument.c_str())) {
                run.usage(argument + " が 2 回あります。");
                return 0;
            }
            if (plain.count(argument)) {
                command->flags.insert(argument);
            } else if (withValue.count(argument)) {
                if (i + 1 == arguments.size()) {
                    run.usage(argument + " のあとに値がありません。");
                    return 0;
                }
                command->values[argument] = arguments[++i];
            } else {
                run.usage("知らないオプションです: " + argument);
                return 0;
            }
        } else {
            command->files.push_back(argument);
        }
    }
    if (command->files.size() != fileCount) {
        run.usage(command->files.empty() ? "ファイルの名前がありません。" : "ファイルの名前が多すぎます。");
        return 0;
    }
    if (withValue.count("-o") && !command->values.count("-o")) {
        run.usage("書き出すファイルを -o で指定してください。");
        return 0;
    }
    return 1;
}

// A whole number of 32 bits, nothing else.
bool ParseInt32(const std::string &text, int32_t *value)
{
    if (text.empty() || !(isdigit((unsigned char)text[0]) || text[0] == '-' || text[0] == '+'))
        return false;
    errno = 0;
    char *end = NULL;
    long long number = strtoll(text.c_str(), &end, 10);
    if (errno || *end || end == text.c_str() || number < INT32_MIN || number > INT32_MAX)
        return false;
    *value = (int32_t)number;
    return true;
}

bool ParsePair(const std::string &text, int32_t *first, int32_t *second)
{
    size_t comma = text.find(',');
    return comma != std::string::npos && ParseInt32(text.substr(0, comma), first) &&
           ParseInt32(text.substr(comma + 1), second);
}

// "H:MM:SS" or "HH:MM:SS" within a day.
bool ParseTime(const std::string &text, FaceTime *time)
{
    int hour, minute, second;
    char tail;
    if (sscanf(text.c_str(), "%2d:%2d:%2d%c", &hour, &minute, &second, &tail) != 3)
        return false;
    size_t colon = text.find(':');
    if (colon < 1 || colon > 2 || text.size() != colon + 6 || text[colon + 3] != ':')
        return false;
    for (char c : text)
        if (c != ':' && !isdigit((unsigned char)c))
            return false;
    if (hour > 23 || minute > 59 || second > 59)
        return false;
    time->hour = hour;
    time->minute = minute;
    time->second = second;
    return true;
}

int ReadInput(Run &run, const std::string &path, size_t limit, Bytes *bytes)
{
    std::string why;
    if (ReadWholeFile(path, limit, bytes, &why))
        return 1;
    run.fail(path + " を読めません: " + why + "。");
    return 0;
}

int RefuseExisting(Run &run, const Command &command)
{
    const std::string &target = command.values.at("-o");
    if (command.flags.count("--force") || !FileExists(target))
        return 0;
    return run.fail(target + " はもうあります。置き換えるには --force を付けてください。");
}

int WriteOutput(Run &run, const Command &command, const Bytes &bytes)
{
    const std::string &target = command.values.at("-o");
    int exists;
    std::string why;
    if (WriteWholeFile(target, bytes, command.flags.count("--force"), &exists, &why))
        return 1;
    if (exists)
        run.fail(target + " はもうあります。置き換えるには --force を付けてください。");
    else
        run.fail(target + " に書き出せません: " + why + "。何も書き出していません。");
    return 0;
}

int TextForFile(Run &run, const char *option, const std::string &utf8, std::string *sjis)
{
    std::string bad;
    switch (Utf8ToSjis(utf8, sjis, &bad)) {
    case TEXT_NOT_UTF8:
        run.fail(std::string(option) + " の文字が UTF-8 ではありません。");
        return 0;
    case TEXT_NOT_SJIS:
        run.fail(std::string(option) + " の「" + bad + "」は Shift-JIS にない文字なので、時計が表示できません。");
        return 0;
    }
    if (sjis->size() >= SKIN_TEXT_BYTES) {
        run.fail(Format("%s が Shift-JIS で %zu バイトあります。%zu バイトまでにしてください。", option, sjis->size(),
                        SKIN_TEXT_BYTES - 1));
        return 0;
    }
    return 1;
}

int Pack(Run &run, const std::vector<std::string> &arguments)
{
    Command command;
    if (!ParseCommand(run, arguments, {"-o", "--author", "--name", "--home", "--mail", "--face", "--dock"},
                      {"--force"}, 1, &command))
        return EXIT_USAGE;
    PackFields fields;
    for (const TextField &field : TextFields) {
        auto given = command.values.find(field.option);
        if (given != command.values.end() && !TextForFile(run, field.option, given->second, &(fields.*field.text)))
            return EXIT_REFUSED;
    }
    if (command.values.count("--face") && !ParsePair(command.values["--face"], &fields.faceLeft, &fields.faceTop))
        return run.fail("--face は「X,Y」の形の 2 つの整数で指定してください: " + command.values["--face"]);
    if (command.values.count("--dock") &&
        !ParsePair(command.values["--dock"], &fields.dockOverlap, &fields.dockRise))
        return run.fail("--dock は「重なり,高さ」の形の 2 つの整数で指定してください: " + command.values["--dock"]);
    if (RefuseExisting(run, command))
        return EXIT_REFUSED;

    const std::string &source = command.files[0];
    Bytes picture;
    if (!ReadInput(run, source, (size_t)SKIN_LARGEST_FILE - SKIN_HEADER_SIZE, &picture))
        return EXIT_REFUSED;
    PlainPicture plain;
    const int conversion = MakePlainBmp(picture.data(), picture.size(), &plain);
    if (conversion == PLAIN_REFUSED)
        return run.fail(source + " を変換できません。" + plain.why);
    if (conversion == PLAIN_CONVERTED)
        picture.swap(plain.bmp);
    Bytes image = MakeSkinHeader(fields);
    image.insert(image.end(), picture.begin(), picture.end());
    SkinLayout layout;
    const bool isBmp = picture.size() >= 2 && picture[0] == 'B' && picture[1] == 'M';
    const std::string refused = WhyTheClockRefuses(image.data(), image.size(), &layout, SKIN_FILE_HEADER_OFFSET);
    if (!refused.empty()) {
        if (!isBmp)
            return run.fail(source + " は BMP ファイルではありません (BM で始まりません)。");
        return run.fail(source + " は時計が読み込めない絵です: " + refused);
    }
    if (!isBmp)
        run.warn(source + " は BM で始まりませんが、時計は気にしません。");
    for (const std::string &warning : SkinWarnings(image.data(), layout))
        run.warn(warning);
    if (!WriteOutput(run, command, image))
        return EXIT_REFUSED;
    if (conversion == PLAIN_CONVERTED)
        run.say(source + ": " + ConversionNote(plain));
    run.say(Format("%s を書き出しました (%zu バイト、%d × %d ピクセル)。", command.values["-o"].c_str(), image.size(),
                   layout.width, layout.height < 0 ? -layout.height : layout.height));
    return EXIT_DONE;
}

int Unpack(Run &run, const std::vector<std::string> &arguments)
{
    Command command;
    if (!ParseCommand(run, arguments, {"-o"}, {"--force"}, 1, &command))
        return EXIT_USAGE;
    if (RefuseExisting(run, command))
        return EXIT_REFUSED;
    const std::string &source = command.files[0];
    Bytes image;
    if (!ReadInput(run, source, (size_t)SKIN_LARGEST_FILE, &image))
        return EXIT_REFUSED;
    if (image.size() <= SKIN_HEADER_SIZE || !HasSkinMagic(image.data()))
        return run.fail(source + " はスキンファイルではありません (QVE で始まる 1077 バイトのヘッダーと絵が要ります)。");

    SkinLayout layout;
    const std::string refused = WhyTheClockRefuses(image.data(), image.size(), &layout, 0);
    if (!refused.empty())
        run.warn("時計はこのスキンを読み込めません: " + refused);
    std::vector<std::string> differences;
    const PackFields fields = ReadPackFields(image.data(), &differences);

    std::string options;
    for (const TextField &field : TextFields) {
        const std::string &text = fields.*field.text;
        std::string shown;
        if (text.empty())
            continue;
        if (!SjisToUtf8(text, &shown)) {
            differences.push_back(std::string(field.label) + "の欄が Shift-JIS ではないので、オプションにできません");
            continue;
        }
        options += std::string(field.option) + " " + QuoteArgument(shown) + " ";
    }
    options += Format("--face %d,%d --dock %d,%d", fields.faceLeft, fields.faceTop, fields.dockOverlap,
                      fields.dockRise);

    if (!WriteOutput(run, command, Bytes(image.begin() + SKIN_HEADER_SIZE, image.end())))
        return EXIT_REFUSED;
    run.say(options);
    for (const std::string &difference : differences)
        run.warn("pack ではもとと同じバイトになりません: " + difference + "。");
    return EXIT_DONE;
}

int Check(Run &run, const std::vector<std::string> &arguments)
{
    Command command;
    if (!ParseCommand(run, arguments, {}, {}, 1, &command))
        return EXIT_USAGE;
    const std::string &source = command.files[0];
    Bytes image;
    std::string why;
    if (!ReadWholeFile(source, (size_t)SKIN_LARGEST_FILE, &image, &why))
        return run.fail(source + " を読めません: " + why + "。時計も読み込めません。");
    SkinLayout layout;
    const std::string refused = WhyTheClockRefuses(image.data(), image.size(), &layout, 0);
    if (!refused.empty()) {
        run.say(source + ": 時計はこのスキンを読み込めません。" + refused);
        return EXIT_REFUSED;
    }
    run.say(Format("%s: 時計はこのスキンを読み込めます (%d × %d ピクセル、%u ビット)。", source.c_str(), layout.width,
                   layout.height < 0 ? -layout.height : layout.height, (unsigned)layout.bitCount));
    for (const std::string &warning : SkinWarnings(image.data(), layout))
        run.say("警告: " + warning);
    return EXIT_DONE;
}

int Preview(Run &run, const std::vector<std::string> &arguments)
{
    Command command;
    if (!ParseCommand(run, arguments, {"-o", "--time"}, {"--12h", "--force"}, 1, &command))
        return EXIT_USAGE;
    FaceTime time;
    if (command.values.count("--time")) {
        if (!ParseTime(command.values["--time"], &time))
            return run.fail("--time は 0:00:00 から 23:59:59 までの「HH:MM:SS」で指定してください: " +
                            command.values["--time"]);
    } else {
        LocalTimeNow(&time.hour, &time.minute, &time.second);
    }
    time.timeSys = command.flags.count("--12h") ? 12 : 24;
    if (RefuseExisting(run, command))
        return EXIT_REFUSED;

    const std::string &source = command.files[0];
    Bytes image;
    if (!ReadInput(run, source, (size_t)SKIN_LARGEST_FILE, &image))
        return EXIT_REFUSED;
    SkinLayout layout;
    const std::string refused = WhyTheClockRefuses(image.data(), image.size(), &layout, 0);
    if (!refused.empty())
        return run.fail(source + " は時計が読み込めません: " + refused);
    std::vector<std::string> ignored;
    const PackFields fields = ReadPackFields(image.data(), &ignored);
    const Picture picture = DecodeSkinPicture(image.data(), layout);
    const Bytes png =
        EncodePng(PreviewRgba(picture, fields.faceLeft, fields.faceTop, time), picture.width, picture.height);
    if (png.empty())
        return run.fail("PNG を作れません (メモリーが足りません)。");
    if (!WriteOutput(run, command, png))
        return EXIT_REFUSED;
    run.say(Format("%s を書き出しました (%d × %d ピクセル、%d:%02d:%02d、%d 時間表示)。", command.values["-o"].c_str(),
                   picture.width, picture.height, time.hour, time.minute, time.second, time.timeSys));
    return EXIT_DONE;
}

} // namespace

std::string QuoteArgument(const std::string &text)
{
#ifdef _WIN32
    // As CommandLineToArgvW reads it back: quotes around, a quote as \",
    // backslashes doubled only before a quote.
    if (!text.empty() && text.find_first_of(" \t\"") == std::string::npos)
        return text;
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : text) {
        if (c == '\\') {
            backslashes++;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
#else
    // A POSIX shell's single quotes keep everything but the quote itself.
    bool plain = !text.empty();
    for (unsigned char c : text)
        plain = plain && (isalnum(c) || strchr("@%+=:,./_-", c));
    if (plain)
        return text;
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
#endif
}

int RunQvetool(const std::vector<std::string> &arguments, Console *console)
{
    Run run = {console};
    if (arguments.empty())
        return run.usage("サブコマンドがありません。");
    const std::string &name = arguments[0];
    if (name == "-h" || name == "--help" || name == "help") {
        console->out += Usage;
        return EXIT_DONE;
    }
    if (name == "pack")
        return Pack(run, arguments);
    if (name == "unpack")
        return Unpack(run, arguments);
    if (name == "check")
        return Check(run, arguments);
    if (name == "preview")
        return Preview(run, arguments);
    return run.usage("知らないサブコマンドです: " + name);
}
