#include "lib/FileNameUnit.h"

#include "base/Unicode.h"

#include "lib/ConstUnit.h"
#include "lib/StringUnit.h"

#include <vector>

namespace marigold {

namespace {

using Components = std::vector<std::u16string>;

// The components of S between backslashes, by the splitter with the given flags.
Components SplitPath(std::u16string_view S, TSplitFlags Flags) {
  TStringSplitter Splitter(std::u16string(S), {u"\\"}, Flags);
  Components Words;
  Words.reserve(static_cast<size_t>(Splitter.Count()));
  for (int32_t I = 0; I < Splitter.Count(); ++I)
    Words.push_back(Splitter.GetWord(I));
  return Words;
}

Components SplitKeepEmpty(std::u16string_view S) {
  return SplitPath(S, TSplitFlags{sfKeepEmpty});
}

bool IsDots(std::u16string_view Component) {
  return Component == u"." || Component == u"..";
}

bool IsAsciiLetter(char16_t C) {
  return AsciiLetters.find(C) != std::u16string_view::npos;
}

bool IsAbsolutePath(std::u16string_view S) {
  return IsValidDrivePath(S) || IsValidUNCPath(S);
}

} // namespace

bool StartsWithUNCPrefix(std::u16string_view S) {
  return S.size() > 2 && S[0] == u'\\' && S[1] == u'\\' && S[2] != u'\\';
}

bool StartsWithDrivePrefix(std::u16string_view S) {
  return S.size() >= 2 && S[1] == u':' && IsAsciiLetter(S[0]) && (S.size() == 2 || S[2] == u'\\');
}

PathRule BrokenPathRule(std::u16string_view S) {
  if (S.find_first_of(InvalidPathChars) != std::u16string_view::npos)
    return PathRule::InvalidCharacter;
  const Components W = SplitKeepEmpty(RemoveTrailingBackslash(S));
  if (W.size() == 1 && W[0].empty())
    return PathRule::Empty;

  size_t BodyStart = 0;
  if (W.size() >= 2 && W[0].empty()) {
    if (!W[1].empty() || S == u"\\\\")
      return PathRule::SingleLeadingBackslash;
    BodyStart = 2;
  }
  for (size_t I = BodyStart; I < W.size(); ++I)
    if (W[I].empty())
      return PathRule::EmptyComponent;

  bool SeenOther = false;
  for (const std::u16string& Component : W) {
    if (IsDots(Component)) {
      if (SeenOther)
        return PathRule::DotsInside;
      continue;
    }
    if (!Component.empty() && Component[0] == u'.')
      return PathRule::LeadingDot;
    if (Component.find(u':') != std::u16string::npos) {
      // Only the first named component may carry a colon, and only as a drive name.
      const bool DriveName =
          Component.size() >= 2 && Component[1] == u':' && IsAsciiLetter(Component[0]);
      if (SeenOther || !DriveName)
        return PathRule::MisplacedColon;
    }
    SeenOther = true;
  }
  return PathRule::None;
}

bool IsValidPath(std::u16string_view S) {
  return BrokenPathRule(S) == PathRule::None;
}

std::u16string PathFromFinalName(std::u16string_view FinalName) {
  constexpr std::u16string_view Unc = u"\\\\?\\UNC\\", Local = u"\\\\?\\";
  if (FinalName.starts_with(Unc))
    return u"\\\\" + std::u16string(FinalName.substr(Unc.size()));
  if (FinalName.starts_with(Local) && StartsWithDrivePrefix(FinalName.substr(Local.size())))
    return std::u16string(FinalName.substr(Local.size()));
  return std::u16string(FinalName);
}

TExpandedPath ExpandEnvironmentNames(std::u16string_view Path, const EnvironmentLookup& Value) {
  TExpandedPath Out;
  size_t At = 0;
  while (At < Path.size()) {
    const size_t Open = Path.find(u'%', At);
    const size_t Close = Open == Path.npos ? Path.npos : Path.find(u'%', Open + 1);
    if (Close == Path.npos) {
      Out.Path.append(Path.substr(At));
      break;
    }
    Out.Path.append(Path.substr(At, Open - At));
    const std::u16string_view Name = Path.substr(Open + 1, Close - Open - 1);
    const std::u16string Found = Name.empty() ? std::u16string() : Value(Name);
    if (Found.empty()) {
      // Left as written; its closing "%" is looked at again as a possible opening one.
      Out.Path.append(Path.substr(Open, Close - Open));
      if (!Name.empty())
        Out.UnsetNames.emplace_back(Name);
      At = Close;
    } else {
      Out.Path.append(Found);
      At = Close + 1;
      if (Found.back() == u'\\' && At < Path.size() && Path[At] == u'\\')
        ++At;
    }
  }
  return Out;
}

std::u16string CaseFoldedPath(std::u16string_view Path) {
  return AsciiUppercase(Path);
}

bool IsValidUNCPath(std::u16string_view S) {
  return StartsWithUNCPrefix(S) && IsValidPath(S);
}

bool IsValidDrivePath(std::u16string_view S) {
  return StartsWithDrivePrefix(S) && IsValidPath(S);
}

bool IsValidRelativePath(std::u16string_view S) {
  return IsValidPath(S) && !StartsWithUNCPrefix(S) && !StartsWithDrivePrefix(S);
}

int32_t PathDepth(std::u16string_view S) {
  if (!IsAbsolutePath(S))
    return -1;
  return static_cast<int32_t>(SplitPath(S, PathSplitFlags).size()) - 1;
}

std::u16string ParentPath(std::u16string_view S, int32_t Levels) {
  if (Levels < 0)
    return {};
  if (Levels == 0)
    return std::u16string(S);
  const int32_t Depth = PathDepth(S);
  if (Depth == -1 || Levels > Depth)
    return {};
  const Components W = SplitPath(S, PathSplitFlags);
  std::u16string Result = IsValidUNCPath(S) ? u"\\\\" : u"";
  for (int32_t I = 0; I <= Depth - Levels; ++I)
    Result += W[static_cast<size_t>(I)] + u'\\';
  return Result;
}

std::u16string ResolveRelativePath(std::u16string_view Base, std::u16string_view Relative) {
  if (!IsAbsolutePath(Base) || !IsValidPath(Relative))
    return {};
  std::u16string B = RemoveTrailingBackslash(Base);
  const bool KeepTrailingBackslash = HasSuffix(Relative, u"\\", /*IgnoreCase=*/false);
  const Components W = SplitKeepEmpty(RemoveTrailingBackslash(Relative));

  size_t First = 0;
  for (; First < W.size() && IsDots(W[First]); ++First) {
    if (W[First] == u"..") {
      if (B.empty())
        return {};
      B = ParentPath(B, 1);
    }
  }

  std::u16string Result = B.empty() ? std::u16string() : AddTrailingBackslash(B);
  for (size_t I = First; I < W.size(); ++I)
    Result += W[I] + u'\\';
  Result = KeepTrailingBackslash ? AddTrailingBackslash(Result) : RemoveTrailingBackslash(Result);
  return IsAbsolutePath(Result) ? Result : std::u16string();
}

std::u16string ExtractFilePath(std::u16string_view S) {
  const size_t Slash = S.rfind(u'\\');
  return Slash == std::u16string_view::npos ? std::u16string()
                                            : std::u16string(S.substr(0, Slash + 1));
}

std::u16string ExtractFileName(std::u16string_view S) {
  const size_t Slash = S.rfind(u'\\');
  return std::u16string(Slash == std::u16string_view::npos ? S : S.substr(Slash + 1));
}

std::u16string ExtractFileExt(std::u16string_view S) {
  const std::u16string Name = ExtractFileName(S);
  const size_t Dot = Name.rfind(u'.');
  return Dot == std::u16string::npos ? std::u16string() : Name.substr(Dot);
}

} // namespace marigold
