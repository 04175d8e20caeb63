// Windows Installer product codes by which the installer recognises the components it does not unpack
// itself. The Orvanta products' own codes live with their names in OrvantaProducts.h.
#pragma once

namespace components::codes {

inline constexpr const char* VcRedist2005 = "{7299052b-02a4-4627-81f2-1818da5d550d}";
inline constexpr const char* VcRedist2008 = "{9A25302D-30C0-39D9-BD6F-21E6EC160475}";
inline constexpr const char* VcRedist2010 = "{F0C3E5D1-1ADE-321E-8167-68EF0DE699A5}";

inline constexpr const char* Python266 = "{6151CF20-0BD8-4023-A4A0-6A86DCFE58E5}";

inline constexpr const char* Watchdog = "{0339BD1D-BA38-4F90-A2FD-CC136286A463}";

inline constexpr const char* TightVnc32 = "{981B8EDC-E693-4F22-9694-C0FF8E56F134}";
inline constexpr const char* TightVnc64 = "{D71C967C-8709-4334-BF16-952469E96DCD}";

inline constexpr const char* UbCore = "{F65FE148-FCF5-42F7-8803-FA0B7DA8B8A4}";
inline constexpr const char* FireI32 = "{1AAA20E7-B683-4F94-A14C-C8186D0EC55F}";
inline constexpr const char* FireI64 = "{7FC31537-1378-4B54-9BB6-1F43F4C6AE46}";
inline constexpr const char* SonyZcl = "{1A23CB3F-7B04-4CFD-80BE-81D2ACB10167}";
inline constexpr const char* PylonSdk2_32 = "{2393D986-319B-40BF-AEBD-6E0EFC5B5F57}";
inline constexpr const char* PylonSdk2_64 = "{D7F97581-F17B-48AD-B4BB-634AF0F78D39}";
// One package serves both the 32-bit and the 64-bit rows.
inline constexpr const char* PylonSdk3 = "{7701C433-7FAB-43ED-B117-762AC408A61C}";
inline constexpr const char* Pylon4Runtime = "{37A8A264-ADAE-4226-BA66-B9FE9FFB1F89}";

inline constexpr const char* DaqNaviPci1730 = "{6D3F63BF-82B3-402C-B904-19970D4718F6}";
inline constexpr const char* DaqNaviUsb4711A = "{6D87DA37-CBC4-46E2-9183-91B52DC60D02}";
inline constexpr const char* DaqNaviUsb4750 = "{E8881CC8-EB89-49FA-B2A5-986488C75164}";
inline constexpr const char* DaqNaviSdk = "{88B93413-6464-4DBB-AFDF-400AEEB20E7D}";

}  // namespace components::codes
