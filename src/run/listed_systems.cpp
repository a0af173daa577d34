#include "run/listed_systems.h"

#include "rfc/logon.h"
#include "rfc/scan_locks.h"
#include "run/error_ending.h"
#include "system/clock.h"
#include "system/utf8_text.h"
#include "trend/log_full_in.h"

namespace vendralith {

namespace {

// Takes the first name and its "#" off the list.
std::string TakeProfileName(std::string_view& serverList) {
  const auto end = serverList.find('#');
  std::string name(serverList.substr(0, end));
  serverList.remove_prefix(end == std::string_view::npos ? serverList.size() : end + 1);
  return name;
}

}  // namespace

std::string SystemDisplayName(char displayNameKind, const std::string& profileName,
                              const SystemEntry& entry) {
  switch (displayNameKind) {
    case '2':
      // Too short to carry an extension: the name as it stands.
      return profileName.size() < 4 ? profileName
                                    : std::string(Utf8Prefix(profileName, profileName.size() - 4));
    case '3':
      return entry.hostname;
    case '4':
      return entry.destination;
    default:
      return profileName;
  }
}

ListedSystems::ListedSystems(RunContext& run, const Listing& listing, ListingOutput& output)
    : run_(run),
      listing_(listing),
      output_(output),
      serverList_(listing.serverList),
      trendFolder_(listing.itemName == kLogFullInChannel ? TrendFolderPath() : std::string()) {}

std::optional<ListedSystem> ListedSystems::Next() {
  while (!serverList_.empty()) {
    std::string profileName = TakeProfileName(serverList_);
    const auto text =
        profileName.empty() ? std::nullopt : ReadTextFile(run_.location.folder + profileName);
    if (!text) {
      output_.AddSkipped();
      continue;
    }
    ListedSystem system;
    const RunSettings& settings = run_.settings;
    // Every profile starts from an empty entry: nothing carries over from the last one.
    system.profile = ReadProfileText(*text, Reading::Lenient, profileName, run_.key,
                                     CredentialLinesFor(settings.credentials));
    SystemEntry& entry = system.profile.entry;
    run_.callLog.Write(0, "profile read",
                       run_.location.folder + profileName + ", destination " + entry.destination);
    // Here, before a scan process of a parallel run gets the entry: such a
    // process never reads the host's variables itself.
    TakeCredentials(entry, settings.credentials, run_.callLog);
    system.request.parameterString = settings.parameterString;
    system.request.consoleMode = settings.consoleMode;
    system.request.itemName = listing_.itemName;
    system.request.displayName = SystemDisplayName(listing_.displayNameKind, profileName, entry);
    system.request.trendHours = settings.trendHours;
    system.request.trendFolder = trendFolder_;
    // Only console mode shows it: the clock is read per system only there.
    system.number = output_.AddScanned(
        settings.consoleMode ? EntrySummary(ClockTime(), profileName, entry) : std::string(),
        system.profile.valid);
    system.profileName = std::move(profileName);
    return system;
  }
  return std::nullopt;
}

RfcSession& ListedSystems::ReachLibrary() {
  // The library is bound on the first system that reaches it, so a run whose
  // profiles are all skipped never needs it.
  if (const std::string& failure =
          BindRfcLibrary(run_.settings.parameterString, RowTexts(run_.document));
      !failure.empty()) {
    EndOpenDocumentWithError(run_.document, failure, nullptr);
  }
  RfcSession& session = Session();
  if (!libraryNamed_) {
    const std::string library = RfcLibraryText(session.LibraryDescription());
    run_.callLog.WriteText(library);
    if (run_.settings.consoleMode) output_.PrintLine("* " + library + "\n");
    libraryNamed_ = true;
    // Once, before the first logon: no system's logon is to be tried.
    if (const std::string refused = CheckCredentialsForLibrary(session, run_.settings.credentials);
        !refused.empty()) {
      EndOpenDocumentWithError(run_.document, refused, nullptr);
    }
  }
  // Taken at the first logon and held to the end of the run: its failures
  // read the trace.
  FolderScanLocks().EnterRfcPart();
  return session;
}

}  // namespace vendralith
