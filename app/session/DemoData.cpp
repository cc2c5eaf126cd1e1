#include "app/session/DemoData.h"

namespace app
{
namespace
{

// Kept byte for byte equal to examples/project.json.
constexpr std::string_view kProject = R"json({ "objects": [
  { "id": "{6513270E-269E-0D37-F2A7-4DE452E6B438}", "name": "Dialogue", "kind": "WorkUnit" },
  { "id": "{D23F0824-128B-2F33-0C5C-7FD0A6A3A450}", "name": "Arguments", "kind": "Folder", "parent": "{6513270E-269E-0D37-F2A7-4DE452E6B438}" },
  { "id": "{9531985D-5D9D-C9F8-1818-E811892F902B}", "name": "Mood", "kind": "Argument", "parent": "{D23F0824-128B-2F33-0C5C-7FD0A6A3A450}", "values": ["{36F675CC-81E7-4EF5-E8E2-5D940ED90475}", "{6B0D549B-6F03-675A-1600-A35A099950D8}", "{8D116ECE-1738-F7D9-3D9C-172411E20B8F}"] },
  { "id": "{36F675CC-81E7-4EF5-E8E2-5D940ED90475}", "name": "Happy", "kind": "ArgumentValue", "parent": "{9531985D-5D9D-C9F8-1818-E811892F902B}" },
  { "id": "{6B0D549B-6F03-675A-1600-A35A099950D8}", "name": "Sad", "kind": "ArgumentValue", "parent": "{9531985D-5D9D-C9F8-1818-E811892F902B}" },
  { "id": "{8D116ECE-1738-F7D9-3D9C-172411E20B8F}", "name": "Angry", "kind": "ArgumentValue", "parent": "{9531985D-5D9D-C9F8-1818-E811892F902B}" },
  { "id": "{90C192CF-D3AC-94AF-0F21-DDB66CAD4A26}", "name": "Character", "kind": "Argument", "parent": "{D23F0824-128B-2F33-0C5C-7FD0A6A3A450}", "values": ["{A170B338-3926-3059-F28C-105D1FB17C23}", "{0FD630F1-F29D-0DA9-953F-48F1A09F76B5}"] },
  { "id": "{A170B338-3926-3059-F28C-105D1FB17C23}", "name": "Hero", "kind": "ArgumentValue", "parent": "{90C192CF-D3AC-94AF-0F21-DDB66CAD4A26}" },
  { "id": "{0FD630F1-F29D-0DA9-953F-48F1A09F76B5}", "name": "Merchant", "kind": "ArgumentValue", "parent": "{90C192CF-D3AC-94AF-0F21-DDB66CAD4A26}" },
  { "id": "{0CB1E29C-658C-DA14-95E6-0AF593BD04CF}", "name": "Weather", "kind": "Argument", "parent": "{D23F0824-128B-2F33-0C5C-7FD0A6A3A450}", "values": ["{8E81973E-0BEC-D7B0-3898-D190F9EBDACC}", "{6B4CB242-4A23-D596-2217-BEADDBC496CB}"] },
  { "id": "{8E81973E-0BEC-D7B0-3898-D190F9EBDACC}", "name": "Sunny", "kind": "ArgumentValue", "parent": "{0CB1E29C-658C-DA14-95E6-0AF593BD04CF}" },
  { "id": "{6B4CB242-4A23-D596-2217-BEADDBC496CB}", "name": "Rain", "kind": "ArgumentValue", "parent": "{0CB1E29C-658C-DA14-95E6-0AF593BD04CF}" },
  { "id": "{92276658-1E27-A1C0-8A6A-63EC24EDE6A4}", "name": "Events", "kind": "Folder", "parent": "{6513270E-269E-0D37-F2A7-4DE452E6B438}" },
  { "id": "{AE97BA94-D0ED-A82F-8F6D-05584EF8AA38}", "name": "Greeting", "kind": "DialogueEvent", "parent": "{92276658-1E27-A1C0-8A6A-63EC24EDE6A4}", "arguments": ["{9531985D-5D9D-C9F8-1818-E811892F902B}", "{90C192CF-D3AC-94AF-0F21-DDB66CAD4A26}"], "targets": ["{7F150524-34B9-B5DF-9E77-69B10F4205B4}", "{3F98E277-4CBD-87AD-5C90-A9587403E430}", "{4CDD2055-930D-6EAF-14F4-733F3E7D1BFB}", null] },
  { "id": "{923A7369-94E3-BF91-1A61-DBE22E44158B}", "name": "Farewell", "kind": "DialogueEvent", "parent": "{92276658-1E27-A1C0-8A6A-63EC24EDE6A4}", "arguments": ["{0CB1E29C-658C-DA14-95E6-0AF593BD04CF}"], "targets": ["{57EE05CD-E009-02C7-7EBF-F20686734721}", "{9BE4BCFC-49B6-4A08-72E6-CC3ABABCED20}"] },
  { "id": "{18F135D2-5F55-7203-3018-50C5A38FD547}", "name": "Battle_Cry", "kind": "DialogueEvent", "parent": "{92276658-1E27-A1C0-8A6A-63EC24EDE6A4}", "arguments": [], "targets": ["{830E07BC-1E39-8F10-12BD-4ACEFAECBD38}"] },
  { "id": "{907A70C3-1012-F037-B64C-E4228C38FB29}", "name": "Voices", "kind": "ActorMixer", "parent": "{6513270E-269E-0D37-F2A7-4DE452E6B438}" },
  { "id": "{7F150524-34B9-B5DF-9E77-69B10F4205B4}", "name": "Greeting_Happy", "kind": "RandomContainer", "parent": "{907A70C3-1012-F037-B64C-E4228C38FB29}" },
  { "id": "{C6F87718-6D76-B07E-881E-D162AE2EB154}", "name": "Hello_01", "kind": "Sound", "parent": "{7F150524-34B9-B5DF-9E77-69B10F4205B4}" },
  { "id": "{EC66A787-95E7-61D1-7731-AF10506BF2EF}", "name": "Hello_02", "kind": "Sound", "parent": "{7F150524-34B9-B5DF-9E77-69B10F4205B4}" },
  { "id": "{3F98E277-4CBD-87AD-5C90-A9587403E430}", "name": "Greeting_Sad", "kind": "RandomContainer", "parent": "{907A70C3-1012-F037-B64C-E4228C38FB29}" },
  { "id": "{C7A2EA20-B2F1-4C94-2E05-319ACB5C7427}", "name": "Hello_Sad_01", "kind": "Sound", "parent": "{3F98E277-4CBD-87AD-5C90-A9587403E430}" },
  { "id": "{4CDD2055-930D-6EAF-14F4-733F3E7D1BFB}", "name": "Greeting_Merchant", "kind": "Sound", "parent": "{907A70C3-1012-F037-B64C-E4228C38FB29}" },
  { "id": "{57EE05CD-E009-02C7-7EBF-F20686734721}", "name": "Bye_Sunny_01", "kind": "Sound", "parent": "{907A70C3-1012-F037-B64C-E4228C38FB29}" },
  { "id": "{9BE4BCFC-49B6-4A08-72E6-CC3ABABCED20}", "name": "Bye_Rain_01", "kind": "Sound", "parent": "{907A70C3-1012-F037-B64C-E4228C38FB29}" },
  { "id": "{830E07BC-1E39-8F10-12BD-4ACEFAECBD38}", "name": "Battle_Cry_Voices", "kind": "RandomContainer", "parent": "{907A70C3-1012-F037-B64C-E4228C38FB29}" },
  { "id": "{5790F82E-C1D3-FCFF-2A3A-F4D46B0A18E8}", "name": "Cry_01", "kind": "Sound", "parent": "{830E07BC-1E39-8F10-12BD-4ACEFAECBD38}" },
  { "id": "{6BF46C69-7D2C-AF82-EEEA-CBE226E87555}", "name": "Cry_02", "kind": "Sound", "parent": "{830E07BC-1E39-8F10-12BD-4ACEFAECBD38}" },
  { "id": "{13DEEF86-AB10-31D0-F646-E1F40A097C97}", "name": "Ambience_Wind", "kind": "Sound", "parent": "{6513270E-269E-0D37-F2A7-4DE452E6B438}" }
] }
)json";

// Kept byte for byte equal to examples/capture.jsonl.
constexpr std::string_view kCapture = R"json({"time": 0.25, "type": 5}
{"time": 1.00, "type": 34, "event": "{AE97BA94-D0ED-A82F-8F6D-05584EF8AA38}", "target": "{7F150524-34B9-B5DF-9E77-69B10F4205B4}", "values": ["{36F675CC-81E7-4EF5-E8E2-5D940ED90475}", "{A170B338-3926-3059-F28C-105D1FB17C23}"]}
{"time": 1.25, "type": 1, "object": "{C6F87718-6D76-B07E-881E-D162AE2EB154}", "reason": 9}
{"time": 2.00, "type": 34, "event": "{AE97BA94-D0ED-A82F-8F6D-05584EF8AA38}", "target": "{3F98E277-4CBD-87AD-5C90-A9587403E430}", "values": ["{6B0D549B-6F03-675A-1600-A35A099950D8}", "{A170B338-3926-3059-F28C-105D1FB17C23}"]}
{"time": 2.25, "type": 1, "object": "{C7A2EA20-B2F1-4C94-2E05-319ACB5C7427}", "reason": 10}
{"time": 3.00, "type": 34, "event": "{AE97BA94-D0ED-A82F-8F6D-05584EF8AA38}", "target": "{4CDD2055-930D-6EAF-14F4-733F3E7D1BFB}", "values": [null, "{0FD630F1-F29D-0DA9-953F-48F1A09F76B5}"]}
{"time": 3.25, "type": 1, "object": "{4CDD2055-930D-6EAF-14F4-733F3E7D1BFB}", "reason": 9}
{"time": 4.00, "type": 34, "event": "{AE97BA94-D0ED-A82F-8F6D-05584EF8AA38}", "target": "{7F150524-34B9-B5DF-9E77-69B10F4205B4}", "values": ["{36F675CC-81E7-4EF5-E8E2-5D940ED90475}", "{0FD630F1-F29D-0DA9-953F-48F1A09F76B5}"], "resolveOnly": true}
{"time": 4.75, "type": 34, "event": "{923A7369-94E3-BF91-1A61-DBE22E44158B}", "target": "{57EE05CD-E009-02C7-7EBF-F20686734721}", "values": ["{8E81973E-0BEC-D7B0-3898-D190F9EBDACC}"]}
{"time": 5.00, "type": 1, "object": "{57EE05CD-E009-02C7-7EBF-F20686734721}", "reason": 8}
{"time": 5.25, "type": 1, "object": "{57EE05CD-E009-02C7-7EBF-F20686734721}", "reason": 9}
{"time": 6.00, "type": 34, "event": "{18F135D2-5F55-7203-3018-50C5A38FD547}", "target": "{830E07BC-1E39-8F10-12BD-4ACEFAECBD38}", "values": []}
{"time": 6.25, "type": 1, "object": "{6BF46C69-7D2C-AF82-EEEA-CBE226E87555}", "reason": 10}
{"time": 7.00, "type": 34, "event": "{18F135D2-5F55-7203-3018-50C5A38FD547}", "target": "{830E07BC-1E39-8F10-12BD-4ACEFAECBD38}", "values": []}
{"time": 7.25, "type": 12}
{"time": 8.00, "type": 34, "event": "{AE97BA94-D0ED-A82F-8F6D-05584EF8AA38}", "target": "{7F150524-34B9-B5DF-9E77-69B10F4205B4}", "values": ["{36F675CC-81E7-4EF5-E8E2-5D940ED90475}", "{A170B338-3926-3059-F28C-105D1FB17C23}"]}
{"time": 8.25, "type": 1, "object": "{EC66A787-95E7-61D1-7731-AF10506BF2EF}", "reason": 9}
{"time": 9.00, "type": 34, "event": "{AE97BA94-D0ED-A82F-8F6D-05584EF8AA38}", "target": null, "values": ["{6B0D549B-6F03-675A-1600-A35A099950D8}", null]}
{"time": 9.25, "type": 1, "object": "{13DEEF86-AB10-31D0-F646-E1F40A097C97}", "reason": 9}
{"time": 10.00, "type": 34, "event": "{923A7369-94E3-BF91-1A61-DBE22E44158B}", "target": "{57EE05CD-E009-02C7-7EBF-F20686734721}", "values": [null]}
{"time": 10.25, "type": 1, "object": "{57EE05CD-E009-02C7-7EBF-F20686734721}", "reason": 10}
{"time": 11.00, "type": 34, "event": "{18F135D2-5F55-7203-3018-50C5A38FD547}", "target": "{830E07BC-1E39-8F10-12BD-4ACEFAECBD38}", "values": []}
{"time": 11.25, "type": 1, "object": "{5790F82E-C1D3-FCFF-2A3A-F4D46B0A18E8}", "reason": 9}
{"time": 12.00, "type": 34, "event": "{AE97BA94-D0ED-A82F-8F6D-05584EF8AA38}", "target": "{7F150524-34B9-B5DF-9E77-69B10F4205B4}", "values": ["{CA02135E-92B1-D3F2-8EDE-0D7AC3BAEA9E}", "{A170B338-3926-3059-F28C-105D1FB17C23}"]}
{"time": 12.25, "type": 1, "object": "{C6F87718-6D76-B07E-881E-D162AE2EB154}", "reason": 10}
)json";

} // namespace

std::string_view DemoProjectJson()
{
    return kProject;
}

std::string_view DemoCaptureJsonl()
{
    return kCapture;
}

} // namespace app
