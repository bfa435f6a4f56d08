#include "shell/form1_events.h"

#include "shell/form1.h"

namespace tarnwick {
namespace {

using enum ControlEvent;
using Text = const std::string&;

// clang-format off
constexpr EventRoute kEvents[] = {
  {"Option1", kClick, [](Form1& f, Text) { f.Option_Click(1); }},
  {"Option2", kClick, [](Form1& f, Text) { f.Option_Click(2); }},
  {"Option3", kClick, [](Form1& f, Text) { f.Option_Click(3); }},
  {"Option4", kClick, [](Form1& f, Text) { f.Option_Click(4); }},
  {"Option5", kClick, [](Form1& f, Text) { f.Option_Click(5); }},
  {"Option6", kClick, [](Form1& f, Text) { f.Option_Click(6); }},
  {"Option7", kClick, [](Form1& f, Text) { f.Option_Click(7); }},
  {"Option8", kClick, [](Form1& f, Text) { f.Option_Click(8); }},
  {"Command7", kClick, [](Form1& f, Text) { f.Command7_Click(); }},
  {"Text1", kChange, [](Form1& f, Text text) { f.SetText1(text); }},
  {"Command1", kClick, [](Form1& f, Text) { f.Command1_Click(); }},
  {"Command2", kClick, [](Form1& f, Text) { f.Command2_Click(); }},
  {"Command5", kClick, [](Form1& f, Text) { f.Command5_Click(); }},
  {"Command3", kClick, [](Form1& f, Text) { f.Command3_Click(); }},
  {"Command4", kClick, [](Form1& f, Text) { f.Command4_Click(); }},
  {"Picture1", kClick, [](Form1& f, Text) { f.Picture1_Click(); }},
  {"Label4", kClick, [](Form1& f, Text) { f.Label4_Click(); }},
  {"Label2", kClick, [](Form1& f, Text) { f.Label2_Click(); }},
};
// clang-format on

}  // namespace

std::span<const EventRoute> Form1Events() { return kEvents; }

bool RaiseEvent(Form1& form, std::string_view control, ControlEvent event,
                const std::string& text) {
  for (const EventRoute& route : kEvents) {
    if (route.event == event && control == route.control) {
      route.handler(form, text);
      return true;
    }
  }
  return false;
}

}  // namespace tarnwick
