#include "shell/desktop_launcher.h"

#include <cstdio>

namespace glyphwell::shell {

namespace {

// Escapes of a launcher string value.
std::string EscapeValue(const std::string& v) {
  std::string out;
  for (char c : v) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

std::string UnescapeValue(std::string_view v) {
  std::string out;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (v[i] == '\\' && i + 1 < v.size()) {
      const char n = v[++i];
      out.push_back(n == 's' ? ' ' : n == 'n' ? '\n' : n == 't' ? '\t' : n == 'r' ? '\r' : n);
    } else {
      out.push_back(v[i]);
    }
  }
  return out;
}

std::string FileUrl(const std::string& path) {
  std::string out = "file://";
  for (unsigned char c : path) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      out.push_back(static_cast<char>(c));
    } else {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", c);
      out += buf;
    }
  }
  return out;
}

std::optional<std::string> PathOfFileUrl(std::string_view url) {
  constexpr std::string_view kScheme = "file://";
  if (url.substr(0, kScheme.size()) != kScheme) return std::nullopt;
  url.remove_prefix(kScheme.size());
  if (url.empty() || url[0] != '/') return std::nullopt;  // no remote hosts
  std::string out;
  auto hex = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  for (std::size_t i = 0; i < url.size(); ++i) {
    if (url[i] == '%' && i + 2 < url.size() && hex(url[i + 1]) >= 0 && hex(url[i + 2]) >= 0) {
      out.push_back(static_cast<char>(hex(url[i + 1]) * 16 + hex(url[i + 2])));
      i += 2;
    } else {
      out.push_back(url[i]);
    }
  }
  return out;
}

// The first argument of an Exec value (after the value escapes were undone).
std::string FirstExecArgument(const std::string& exec) {
  std::string out;
  std::size_t i = 0;
  while (i < exec.size() && exec[i] == ' ')
    ++i;
  if (i < exec.size() && exec[i] == '"') {
    for (++i; i < exec.size() && exec[i] != '"'; ++i) {
      if (exec[i] == '\\' && i + 1 < exec.size()) ++i;
      out.push_back(exec[i]);
    }
  } else {
    for (; i < exec.size() && exec[i] != ' '; ++i)
      out.push_back(exec[i]);
  }
  // "%%" stands for a literal percent sign
  std::string plain;
  for (std::size_t k = 0; k < out.size(); ++k) {
    plain.push_back(out[k]);
    if (out[k] == '%' && k + 1 < out.size() && out[k + 1] == '%') ++k;
  }
  return plain;
}

}  // namespace

std::string QuoteExecArgument(const std::string& argument) {
  std::string out = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out.push_back('\\');
    if (c == '%') out.push_back('%');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

std::string LauncherText(const LauncherSpec& desc) {
  std::string text = "[Desktop Entry]\n";
  if (desc.targetIsFolder) {
    text += "Type=Link\n";
    text += "Name=" + EscapeValue(desc.name) + "\n";
    text += "URL=" + EscapeValue(FileUrl(desc.target)) + "\n";
    text += "Icon=folder\n";
    return text;
  }
  text += "Type=Application\n";
  text += "Name=" + EscapeValue(desc.name) + "\n";
  std::string exec = QuoteExecArgument(desc.target);
  if (desc.offerMimeTypes) exec += " %F";
  text += "Exec=" + EscapeValue(exec) + "\n";
  text += "Terminal=false\n";
  if (desc.offerMimeTypes) {
    text += std::string("MimeType=") + kIconSourceMimeTypes + "\n";
    text += "NoDisplay=true\n";
  }
  return text;
}

std::optional<std::string> LauncherTarget(std::string_view text) {
  bool inEntry = false, sawEntry = false;
  std::string type, exec, url;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      inEntry = line == "[Desktop Entry]";
      sawEntry = sawEntry || inEntry;
      continue;
    }
    if (!inEntry) continue;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string_view key = line.substr(0, eq);
    while (!key.empty() && key.back() == ' ')
      key.remove_suffix(1);
    std::string_view value = line.substr(eq + 1);
    while (!value.empty() && value.front() == ' ')
      value.remove_prefix(1);
    if (key == "Type") type = UnescapeValue(value);
    if (key == "Exec") exec = UnescapeValue(value);
    if (key == "URL") url = UnescapeValue(value);
  }
  if (!sawEntry) return std::nullopt;
  if (type == "Link") return PathOfFileUrl(url);
  if (type == "Application" && !exec.empty()) {
    std::string program = FirstExecArgument(exec);
    if (program.empty()) return std::nullopt;
    return program;
  }
  return std::nullopt;
}

}  // namespace glyphwell::shell
