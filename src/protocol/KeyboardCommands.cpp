#include "protocol/KeyboardCommands.h"

#include "protocol/KeyboardReports.h"

namespace keyloom {
namespace {

// A lighting command waits until 100 ms have passed since the previous one,
// and the pacer moves on whether or not the device took it.
bool SendPaced(HidDevice& device, CommandPacer& pacer, const KeyboardReport& report) {
  pacer.Wait();
  const bool sent = device.SetFeature(report.data());
  pacer.SetNow();
  return sent;
}

}  // namespace

bool SendLightingEffect(HidDevice& device, const LightingEffectSettings& effects, CommandPacer& pacer,
                        int32_t index) {
  const EffectEntry* entry = effects.GetEntry(index);
  if (!entry) return false;
  return SendPaced(device, pacer, LightingEffectReport(index, *entry));
}

bool SendSideLightMode(HidDevice& device, const SideLightSettings& sideLight, CommandPacer& pacer, int32_t index) {
  const SideModeEntry* entry = sideLight.GetEntry(index);
  if (!entry) return false;
  return SendPaced(device, pacer, SideLightReport(index, *entry));
}

bool QueryFirmwareVersion(HidDevice& device, int32_t& firmwareVersion) {
  if (!device.IsOpen()) return false;
  KeyboardReport report = FirmwareQueryReport();
  if (!device.SetFeature(report.data())) return false;
  // The reply comes back in the same buffer; byte 0 still names report 7.
  if (!device.GetFeature(report.data())) return false;
  firmwareVersion = DecodeFirmwareReply(report);
  return true;
}

bool SendRestoreFactory(HidDevice& device) {
  const KeyboardReport report = RestoreFactoryReport();
  return device.Write(report.data()) > 0;
}

bool SendStartupEffect(HidDevice& device, const LightingEffectSettings& effects, int32_t first, int32_t, int32_t,
                       int32_t) {
  const EffectEntry* entry = effects.GetEntry(first);
  if (!entry) return false;
  const KeyboardReport report = StartupEffectReport(first, *entry);
  return device.SetFeature(report.data());
}

}  // namespace keyloom
