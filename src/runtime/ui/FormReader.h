#pragma once

#include <functional>
#include <string_view>

namespace anthora {

class TComponent;
class TCustomForm;

// Makes a component of a class named in window descriptions, owned by the form.
using ComponentFactory = std::function<TComponent*(TComponent* owner)>;

// Registers a class for window descriptions; a later registration of a name replaces it.
void RegisterComponentClass(std::string_view className, ComponentFactory factory);

// Builds a form from its window description: the form's own properties, then each control
// in order, created by class name, named, placed on the enclosing control, its properties
// set and its events bound to the form's handlers by name.
//
// A description is UTF-8 text:
//
//   Form1: TForm1 {
//     Caption = "Anthora 1.0"            strings in double quotes, \" and \\ escaped
//     Color = 0x00DFDFDF                 numbers in decimal or hexadecimal
//     Font.Style = [fsBold]              sets in brackets
//     OnActivate = FormActivate          names: handlers, enumerations, true and false
//     Image2: TImage {                   a control, nested in its parent
//       Picture.Data = <0A54...>         binary data in hexadecimal, blanks allowed, or
//       Icon.Data = <=N:...>             N bytes as they are
//     }
//   }
//
// Lines starting with # are comments. Any fault, such as an unknown class, property or
// handler, raises EReadError naming the line and the culprit.
void ReadFormDescription(TCustomForm& form, std::string_view description);

}  // namespace anthora
