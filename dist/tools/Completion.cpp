#include "Completion.h"

#include "app/CommandHelp.h"

namespace velloq::dist {
namespace {

std::string words(const std::vector<std::string>& list) {
    std::string text;
    for (const auto& word : list) {
        text += (text.empty() ? "" : " ") + word;
    }
    return text;
}

std::vector<std::string> optionNames(const VerbHelp& verb) {
    std::vector<std::string> names;
    for (const auto& option : verb.options) {
        names.push_back(option.name);
    }
    return names;
}

// Single-quoted for the shell.
std::string zshQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

std::string zshOptionSpec(const OptionHelp& option) {
    switch (option.value) {
    case ValueKind::none:
        return option.name;
    case ValueKind::word:
        return option.name + ":value: ";
    case ValueKind::file:
        return option.name + ":file:_files";
    case ValueKind::choice:
        return option.name + ":value:(" + words(option.choices) + ")";
    case ValueKind::optional:
        return option.name + "::name: ";
    }
    return option.name;
}

} // namespace

std::string bashCompletion() {
    std::vector<std::string> verbs;
    for (const auto& verb : verbHelp()) {
        verbs.push_back(verb.verb);
    }
    std::string script =
        "# bash completion for velloq, written from its command table\n"
        "_velloq() {\n"
        "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
        "    COMPREPLY=()\n"
        "    if ((COMP_CWORD == 1)); then\n"
        "        COMPREPLY=($(compgen -W '" +
        words(verbs) +
        "' -- \"$cur\"))\n"
        "        return\n"
        "    fi\n"
        "    case ${COMP_WORDS[1]} in\n";
    for (const auto& verb : verbHelp()) {
        if (verb.options.empty() && !verb.takesFiles) {
            continue;
        }
        script += "    " + verb.verb + ")\n        case $prev in\n";
        for (const auto& option : verb.options) {
            switch (option.value) {
            case ValueKind::word:
                script += "        " + option.name + ") return ;;\n";
                break;
            case ValueKind::file:
                script += "        " + option.name +
                          ") compopt -o filenames 2>/dev/null; "
                          "COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n";
                break;
            case ValueKind::choice:
                script += "        " + option.name + ") COMPREPLY=($(compgen -W '" +
                          words(option.choices) + "' -- \"$cur\")); return ;;\n";
                break;
            case ValueKind::none:
            case ValueKind::optional:
                break;
            }
        }
        script += "        esac\n";
        if (verb.takesFiles) {
            script += "        compopt -o filenames 2>/dev/null\n"
                      "        COMPREPLY=($(compgen -f -- \"$cur\"))\n";
        } else {
            script += "        COMPREPLY=($(compgen -W '" + words(optionNames(verb)) +
                      "' -- \"$cur\"))\n";
        }
        script += "        ;;\n";
    }
    script += "    esac\n}\ncomplete -F _velloq velloq\n";
    return script;
}

std::string zshCompletion() {
    std::string script = "#compdef velloq\n"
                         "# zsh completion for velloq, written from its command table\n"
                         "_velloq() {\n"
                         "    local -a verbs\n"
                         "    verbs=(\n";
    for (const auto& verb : verbHelp()) {
        const std::string summary = verb.description.empty() ? "" : verb.description.front();
        script += "        " + zshQuoted(verb.verb + ":" + summary) + "\n";
    }
    script += "    )\n"
              "    if ((CURRENT == 2)); then\n"
              "        _describe -t commands 'velloq command' verbs\n"
              "        return\n"
              "    fi\n"
              "    local verb=$words[2]\n"
              "    shift words\n"
              "    ((CURRENT--))\n"
              "    case $verb in\n";
    for (const auto& verb : verbHelp()) {
        if (verb.options.empty() && !verb.takesFiles) {
            continue;
        }
        script += "    " + verb.verb + ")\n        _arguments";
        for (const auto& option : verb.options) {
            script += " \\\n            '" + zshOptionSpec(option) + "'";
        }
        if (verb.takesFiles) {
            script += " \\\n            '*:file:_files'";
        }
        script += "\n        ;;\n";
    }
    script += "    esac\n}\n_velloq \"$@\"\n";
    return script;
}

} // namespace velloq::dist
