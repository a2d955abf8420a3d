// The messenger's data as the plug-in sees it through services: contacts and their display names,
// modules and the receive chain, contact-menu items, and sending a text to a contact.
#include "devhost/messenger/host_state.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <ctime>

namespace {
constexpr char unknownContactName[] = "(Unknown Contact)";
// What the end of the receive chain (the chat) returns for a text it logged.
constexpr HostWord chatLoggedResult = 1;

HostContact* findContact(HostWord handle) {
    for (HostContact& contact : hostState().contacts)
        if (contact.handle == handle)
            return &contact;
    return nullptr;
}

bool hasModule(const HostContact& contact, const char* module) {
    return std::find(contact.modules.begin(), contact.modules.end(), module) != contact.modules.end();
}

std::string copyText(const char* text) { return text ? text : ""; }

// The end of the receive chain: the chat shows the text.
HostWord logToChat(const CallRecord* record) {
    auto event = reinterpret_cast<const ReceivedEvent*>(record->lParam);
    if (!event || !event->text)
        return 0;
    hostState().logs.chatLog.push_back(HostText{record->contact, event->text});
    return chatLoggedResult;
}

// Hands the record to the first module from `position` on that has a receive service; that module
// either ends the chain or continues it through "Proto/ChainRecv".
HostWord runReceiveChain(const CallRecord* record, std::size_t position) {
    std::vector<std::string> chain; // a copy: modules may join the contact while the chain runs
    if (const HostContact* contact = findContact(record->contact))
        chain = contact->modules;
    for (std::size_t i = position; i < chain.size(); ++i) {
        std::string service = chain[i] + hostnames::receiveMessageSuffix;
        if (hostState().services.count(service) != 0)
            return hostCallService(service.c_str(), static_cast<HostWord>(i),
                                   reinterpret_cast<HostWord>(record));
    }
    return logToChat(record);
}

HostWord registerModule(HostWord, HostWord lParam) {
    auto record = reinterpret_cast<const ModuleRecord*>(lParam);
    if (!record || record->size != static_cast<int>(sizeof(ModuleRecord)) || !record->name)
        return serviceFailed;
    auto& modules = hostState().modules;
    auto known = std::find_if(modules.begin(), modules.end(),
                              [&](const HostModule& module) { return module.name == record->name; });
    if (known != modules.end())
        known->type = record->type;
    else
        modules.push_back(HostModule{record->name, record->type});
    return serviceSucceeded;
}

HostWord addToContact(HostWord contact, HostWord lParam) {
    auto module = reinterpret_cast<const char*>(lParam);
    HostContact* found = findContact(contact);
    if (!found || !module)
        return serviceFailed;
    if (!hasModule(*found, module))
        found->modules.push_back(module);
    return serviceSucceeded;
}

HostWord isProtoOnContact(HostWord contact, HostWord lParam) {
    auto module = reinterpret_cast<const char*>(lParam);
    const HostContact* found = findContact(contact);
    return found && module && hasModule(*found, module) ? 1 : 0;
}

HostWord findFirstContact(HostWord, HostWord) {
    const auto& contacts = hostState().contacts;
    return contacts.empty() ? 0 : contacts.front().handle;
}

HostWord findNextContact(HostWord contact, HostWord) {
    const auto& contacts = hostState().contacts;
    const HostContact* found = findContact(contact);
    return found && found + 1 < contacts.data() + contacts.size() ? found[1].handle : 0;
}

HostWord addContactMenuItem(HostWord, HostWord lParam) {
    auto record = reinterpret_cast<const MenuItemRecord*>(lParam);
    if (!record || record->size != static_cast<int>(sizeof(MenuItemRecord)))
        return 0;
    HostMenuItem item{*record, "", L"", copyText(record->service), copyText(record->contactOwner)};
    // An ANSI core reads the text as bytes whatever the flags say.
    if (hostState().unicodeCore && (record->flags & menuItemUnicodeText)) {
        auto text = reinterpret_cast<const wchar_t*>(record->text);
        item.wideText = text ? text : L"";
        item.text = narrowed(item.wideText, CP_ACP);
    } else {
        item.text = copyText(record->text);
        item.wideText = widened(item.text, CP_ACP);
    }
    auto& items = hostState().menuItems;
    items.push_back(item);
    return static_cast<HostWord>(items.size()); // the item's index plus one: never 0
}

HostWord getContactDisplayName(HostWord contact, HostWord) {
    const HostContact* found = findContact(contact);
    const auto& names = hostState().displayNames;
    return reinterpret_cast<HostWord>(found ? names[found - hostState().contacts.data()].c_str()
                                            : unknownContactName);
}

HostWord callContactService(HostWord, HostWord lParam) {
    auto record = reinterpret_cast<const CallRecord*>(lParam);
    if (!record || !record->service || std::strcmp(record->service, hostnames::sendMessage) != 0)
        return serviceNotFound;
    auto text = reinterpret_cast<const char*>(record->lParam);
    if (!text)
        return 0; // nothing to send: the send fails
    HostState& state = hostState();
    state.logs.sentTexts.push_back(HostText{record->contact, text});
    HostWord sendId = ++state.lastSendId;
    if (state.sendHandler)
        state.sendHandler(record->contact, text);
    return sendId;
}

HostWord chainReceive(HostWord wParam, HostWord lParam) {
    auto record = reinterpret_cast<const CallRecord*>(lParam);
    if (!record)
        return 0;
    return runReceiveChain(record, wParam < 0 ? 0 : static_cast<std::size_t>(wParam) + 1);
}
} // namespace

void addContactServices() {
    hostCreateService(hostnames::registerModule, registerModule);
    hostCreateService(hostnames::addToContact, addToContact);
    hostCreateService(hostnames::isProtoOnContact, isProtoOnContact);
    hostCreateService(hostnames::findFirstContact, findFirstContact);
    hostCreateService(hostnames::findNextContact, findNextContact);
    hostCreateService(hostnames::addContactMenuItem, addContactMenuItem);
    hostCreateService(hostnames::getContactDisplayName, getContactDisplayName);
    hostCreateService(hostnames::callContactService, callContactService);
    hostCreateService(hostnames::chainReceive, chainReceive);
}

const std::vector<HostModule>& hostModules() { return hostState().modules; }
const std::vector<HostMenuItem>& hostMenuItems() { return hostState().menuItems; }

HostWord hostAddContact(const std::string& name, bool online, bool announce) {
    HostState& state = hostState();
    HostWord handle = ++state.lastContact;
    state.contacts.push_back(HostContact{handle, name, online, {}});
    state.displayNames.push_back(name);
    if (announce)
        hostNotifyEvent(hostnames::contactAddedEvent, handle, 0);
    return handle;
}

const std::vector<HostContact>& hostContacts() { return hostState().contacts; }

std::vector<std::size_t> hostVisibleMenuItems(HostWord contact) {
    std::vector<std::size_t> visible;
    const HostContact* found = findContact(contact);
    const auto& items = hostState().menuItems;
    for (std::size_t i = 0; found && i < items.size(); ++i) {
        const MenuItemRecord& item = items[i].record;
        // An item for one protocol's contacts: this host's contacts belong to the modules on their chain.
        if (!((item.flags & menuItemHiddenWhenOffline) && !found->online) &&
            (!item.contactOwner || hasModule(*found, items[i].contactOwner.c_str())))
            visible.push_back(i);
    }
    // The menu shows items by position; items of equal position in the order they were added.
    std::stable_sort(visible.begin(), visible.end(), [&](std::size_t a, std::size_t b) {
        return items[a].record.position < items[b].record.position;
    });
    return visible;
}

HostWord hostChooseMenuItem(HostWord contact, std::size_t itemIndex) {
    const auto& items = hostState().menuItems;
    if (itemIndex >= items.size())
        return serviceNotFound;
    std::string service = items[itemIndex].service; // the service may add menu items
    return hostCallService(service.c_str(), contact, 0);
}

HostWord hostReceiveText(HostWord contact, const char* text) {
    ReceivedEvent event = {0, static_cast<std::uint32_t>(std::time(nullptr)), text, 0};
    CallRecord record = {contact, hostnames::receiveMessageSuffix, 0, reinterpret_cast<HostWord>(&event)};
    // A copy: the observer may be replaced while the chain runs.
    auto observer = hostState().receiveObserver;
    HostText received{contact, text ? text : ""};
    if (observer)
        observer(received, false);
    HostWord result = runReceiveChain(&record, 0);
    if (observer)
        observer(received, true);
    return result;
}
