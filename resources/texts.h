// Every text the user sees, in one place. UTF-8; a Windows backend converts
// them to code page 932 where an ANSI call needs bytes.
#pragma once

#include <string_view>

namespace texts {

// Product name: the tray tooltip and the logo's lettering.
inline constexpr std::string_view ProductName = "ペルモ";

// Monitor window captions.
inline constexpr std::string_view Temperature = "TEM";
inline constexpr std::string_view Memory = "MEM";
inline constexpr std::string_view SystemResources = "S_R";
inline constexpr std::string_view Cpu = "CPU";
inline constexpr std::string_view DegreesCelsius = "℃";
inline constexpr std::string_view Percent = "%";
inline constexpr std::string_view ValuePlaceholder = "100";  // until the first sample
inline constexpr std::string_view NoReading = "--";  // no sensor behind the temperature
// What a screen reader says for "--": the meaning, then this. In words
// apart, as the other readings' number and unit are: Orca reads a
// window's labels when it takes the focus only if they have three words.
inline constexpr std::string_view NoReadingSpoken = "は 測定できません";

// Monitor window tooltips.
inline constexpr std::string_view TemperatureTip = "CPU温度";
inline constexpr std::string_view MemoryTip = "物理メモリ使用率";
inline constexpr std::string_view SystemResourcesTip = "システムリソース使用率";
inline constexpr std::string_view CpuTip = "CPU使用率";

// The tray's popup menu.
inline constexpr std::string_view MenuTitle = "menu";
inline constexpr std::string_view MenuShow = "ペルモの表示";
inline constexpr std::string_view MenuHide = "ペルモの非表示";
inline constexpr std::string_view MenuAlwaysOnTop = "常に手前に表示";
inline constexpr std::string_view MenuQuit = "ペルモの終了";
inline constexpr std::string_view MenuAbout = "about";
inline constexpr std::string_view MenuSeparator = "-";

// The About window.
inline constexpr std::string_view AboutWindowName = "ペルモについて";  // for screen readers
inline constexpr std::string_view AboutThanks = "ダウンロードありがとう御座います。";
inline constexpr std::string_view AboutFreeware = "本ソフトはフリーウェアです。";
inline constexpr std::string_view AboutFreeToUse = "どなた様もご自由にご利用ください。";
inline constexpr std::string_view AboutAuthor = "作者　pd";  // pelmodesk developers
inline constexpr std::string_view AboutMail = "mailto:pmd@example.org";
inline constexpr std::string_view AboutWeb = "https://example.org/pelmodesk/";
inline constexpr std::string_view Ok = "OK";

// The fonts the designs name.
inline constexpr std::string_view PGothic = "ＭＳ Ｐゴシック";

// Run-time error reports.
inline constexpr std::string_view ErrorBoxTitle = "pelmodesk";
inline constexpr std::string_view RuntimeErrorHeading = "実行時エラー";  // followed by " 'N':"
inline constexpr std::string_view Overflow = "オーバーフローしました。";
inline constexpr std::string_view SubscriptOutOfRange = "インデックスが有効範囲にありません。";
inline constexpr std::string_view DivisionByZero = "0 で除算しました。";
inline constexpr std::string_view OutOfMemory = "メモリが不足しています。";
inline constexpr std::string_view FileNotFound = "ファイルが見つかりません。";
inline constexpr std::string_view LibraryLoadFailed = "DLL 読み込み時のエラーです。";
inline constexpr std::string_view EntryPointNotFound = "DLL エントリ ポイントが見つかりません。";

// Start-up without a display.
inline constexpr std::string_view NoDisplay = "X11 または Wayland のディスプレイが見つかりません。DISPLAY または WAYLAND_DISPLAY を確かめてください。";

// A second start in the directory of a running copy that does not answer.
inline constexpr std::string_view OtherCopySilent =
    "このディレクトリではペルモがすでに動いていますが、応答がありません。";
// Windows: the file system tells no identity of the current directory.
inline constexpr std::string_view DirectoryUnidentified =
    "このディレクトリを識別できないため、動いているペルモをパス名だけで確かめます。"
    "リンクなど別の名前で同じディレクトリから起動すると、二つ動くことがあります。";
// Where neither the settings directory's lock nor a socket for later starts
// can be had (a file system without locks and no sockets).
inline constexpr std::string_view RunningUnchecked =
    "このディレクトリをロックできず、ソケットも作れないため、"
    "同じディレクトリで動いているペルモを確かめずに起動します。";

// Start-up under a limit on open files too low to run (ulimit -n), followed
// by the lowest limit that runs and TooFewDescriptorsEnd.
inline constexpr std::string_view TooFewDescriptors = "開けるファイルの数の上限 (ulimit -n) が低すぎるため起動できません。";
inline constexpr std::string_view TooFewDescriptorsEnd = " 以上にしてください。";
// Start-up under a limit that leaves no room for the program's threads or
// memory.
inline constexpr std::string_view TooFewProcesses = "動かせるプロセスの数の上限 (ulimit -u) が低すぎるため起動できません。";
inline constexpr std::string_view TooLittleAddressSpace = "使えるメモリの上限 (ulimit -v) が低すぎるため起動できません。";
inline constexpr std::string_view TooLittleData = "データ領域の上限 (ulimit -d) が低すぎるため起動できません。";
inline constexpr std::string_view NoThreads = "スレッドを作れないため起動できません。";

// The settings file. A report reads, for example:
//   pelmo.ini: 2 行目の左端位置「abc」は数値ではありません。既定の位置で起動します。
//   読めなかったファイルは終了時に pelmo.ini.bak として残します。
inline constexpr std::string_view SettingsFile = "pelmo.ini";
inline constexpr std::string_view SettingsTop = "上端位置";
inline constexpr std::string_view SettingsLeft = "左端位置";
inline constexpr std::string_view SettingsTopmost = "常に手前に表示の設定";
inline constexpr std::string_view SettingsLine = " 行目の";                  // after the line number
inline constexpr std::string_view SettingsMissing = "がありません";          // after the field's name
inline constexpr std::string_view SettingsNotANumber = "は数値ではありません";  // after the quoted field
inline constexpr std::string_view SettingsOutOfRange = "は範囲外です";        // after the quoted field
inline constexpr std::string_view SettingsQuoteOpen = "「";
inline constexpr std::string_view SettingsQuoteClose = "」";
inline constexpr std::string_view SettingsFieldLength = "…(全 ";  // a long field's start, then "…(全 N バイト)"
inline constexpr std::string_view SettingsBytes = " バイト)";
inline constexpr std::string_view SettingsIgnored = "。既定の位置で起動します。";
inline constexpr std::string_view SettingsBackupAhead = "読めなかったファイルは終了時に ";  // followed by the backup's name
inline constexpr std::string_view SettingsBackupAheadEnd = " として残します。";
inline constexpr std::string_view SettingsLeftAlone = "ファイルはそのままにし、終了時にも書き換えません。";  // not opened at all
inline constexpr std::string_view SettingsNotSaved = "設定を保存できませんでした";  // followed by the file and the reason

// Why a file could not be read or written.
inline constexpr std::string_view ReasonNotFound = "ファイルまたはディレクトリが見つかりません";
inline constexpr std::string_view ReasonPermissionDenied = "アクセスが拒否されました";
inline constexpr std::string_view ReasonReadOnlyFile = "ファイルが読み取り専用です";
inline constexpr std::string_view ReasonReadOnlyFileSystem = "読み取り専用のファイルシステムです";
inline constexpr std::string_view ReasonNoSpace = "ディスクの空き容量が足りません";
inline constexpr std::string_view ReasonIsADirectory = "ディレクトリです";
inline constexpr std::string_view ReasonNotARegularFile = "通常のファイルではありません";
inline constexpr std::string_view ReasonTooLarge = "設定ファイルとしては大きすぎます (1 MiB 超)";
inline constexpr std::string_view ReasonLinkLoop = "シンボリックリンクが循環しています";

// Said once at start on a Wayland session without X11.
inline constexpr std::string_view WaylandLimits =
    "Wayland ではウィンドウを保存した位置に置けず、常に手前に表示できず、タスクバーにも表示されます。"
    "ドラッグで動かした位置は保存されません。X11 (XWayland) のあるセッションでは X11 で動きます。";

}  // namespace texts
