// Reading DList.cfg, the supported-card list in the installation directory.
#pragma once

#include "cards/CardListParse.h"

#include <cstddef>
#include <string>

// A real list is a few kilobytes; anything larger is damaged and is refused like a missing file, so
// that a stray huge file cannot exhaust memory with millions of rows.
constexpr std::size_t kLargestCardListBytes = 256 * 1024;

// The installation directory: HKLM "SOFTWARE\Valdro\Ventiq" value WorkDir, or the executable's own
// folder when the value is absent.
std::wstring ReadWorkDir();

// strWorkDir followed directly by "\DList.cfg"; no separator is added or removed.
std::wstring CardListPath(const std::wstring& strWorkDir);

// Reads the list in two passes (count the lines, then read them), each time opening the file for
// reading and writing without sharing and only if it exists. When the first open fails the result is
// marked m_bDataLost and has no lines.
CardList ReadCardListFile(const std::wstring& strPath);

// The list of this installation: ReadCardListFile(CardListPath(ReadWorkDir())).
CardList ReadInstalledCardList();
