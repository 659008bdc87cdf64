#!/usr/bin/env bash
# Builds, runs only the display tests that take the README's screenshots
# (inside a private X session, scripts/with-session.sh) and copies the
# pictures from build/artifacts/ into docs/images/. Run again after a visual
# change; the pictures are then committed with it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
artifacts="$root/build/artifacts"
images="$root/docs/images"

# Screenshot in the artifacts, and its name in docs/images/.
pictures=(
  "tray-menu.png                    tray-menu-en-light.png"
  "tray-menu-ru-dark.png            tray-menu-ru-dark.png"
  "quick-panel.png                  quick-panel-en-light.png"
  "quick-panel-ru-dark.png          quick-panel-ru-dark.png"
  "assistant-chat.png               assistant-en-light.png"
  "assistant-chat-ru-dark.png       assistant-ru-dark.png"
  "translation-preview.png          translation-preview-en-light.png"
  "translation-preview-dark-ru.png  translation-preview-ru-dark.png"
  "clipboard-window.png             clipboard-window-en-light.png"
  "clipboard-window-ru-dark.png     clipboard-window-ru-dark.png"
  "settings-general-en-light.png    settings-general-en-light.png"
  "settings-general-ru-dark.png     settings-general-ru-dark.png"
  "settings-styles-en-light.png     settings-styles-en-light.png"
  "settings-styles-ru-dark.png      settings-styles-ru-dark.png"
)
tests=(test_tray_display test_quick_panel_display test_assistant_panel_display test_translation_preview_display
  test_clipboard_window_display test_settings_display test_settings_styles_display)

"$root/scripts/build.sh"
# A picture left from an earlier run must not pass for a new one.
for entry in "${pictures[@]}"; do
  read -r shot _ <<<"$entry"
  rm -f "$artifacts/$shot"
done
cd "$root/build"
regex="^($(IFS='|'; echo "${tests[*]}"))\$"
"$root/scripts/with-session.sh" ctest --output-on-failure -R "$regex"

mkdir -p "$images"
for entry in "${pictures[@]}"; do
  read -r shot name <<<"$entry"
  cp "$artifacts/$shot" "$images/$name"
  echo "docs/images/$name"
done
