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
inline constexpr std::string_view FullScale = "100";
inline constexpr std::string_view NoReading = "--";  // no sensor behind the temperature

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
inline constexpr std::string_view InvalidPropertyValue = "プロパティの値が不正です。";

// The settings file.
inline constexpr std::string_view SettingsFile = "pelmo.ini";
inline constexpr std::string_view SettingsIgnored = "の内容を読めないため、既定の位置で起動します";  // after "pelmo.ini 3 行目: ..."
inline constexpr std::string_view SettingsNotSaved = "設定を保存できませんでした";  // followed by the file and the reason

}  // namespace texts
