#include "Keyring.h"

#include <libsecret/secret.h>

namespace {

// Searches match on the attributes alone (not on a schema name), so that items saved by other tools,
// which carry a schema attribute of their own, are found too; new items get no schema attribute.
const SecretSchema accountSchema = {
    "org.freedesktop.Secret.Generic",
    SECRET_SCHEMA_DONT_MATCH_NAME,
    {
        { "service", SECRET_SCHEMA_ATTRIBUTE_STRING },
        { "account", SECRET_SCHEMA_ATTRIBUTE_STRING },
        { nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING },
    },
    0,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

struct ObjectRelease
{
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T> using Object = std::unique_ptr<T, ObjectRelease>;

struct TableRelease
{
    void operator()(GHashTable* table) const { g_hash_table_unref(table); }
};
using Table = std::unique_ptr<GHashTable, TableRelease>;

struct ItemListRelease
{
    void operator()(GList* list) const { g_list_free_full(list, g_object_unref); }
};
using ItemList = std::unique_ptr<GList, ItemListRelease>;

struct ValueRelease
{
    void operator()(SecretValue* value) const { secret_value_unref(value); }
};
using Value = std::unique_ptr<SecretValue, ValueRelease>;

struct TextRelease
{
    void operator()(gchar* text) const { g_free(text); }
};
using Text = std::unique_ptr<gchar, TextRelease>;

// Receives a GError from a GLib call and owns it.
class ErrorSlot
{
public:
    ~ErrorSlot()
    {
        if (error)
            g_error_free(error);
    }
    GError** operator&() { return &error; }
    explicit operator bool() const { return error != nullptr; }
    std::string message() const { return error ? error->message : "no reason given"; }
    // The D-Bus name of the error the other side answered with; empty when the call got no answer.
    std::string remoteName() const
    {
        Text remote(error ? g_dbus_error_get_remote_error(error) : nullptr);
        return remote ? remote.get() : "";
    }

private:
    GError* error = nullptr;
};

KeyringFailure failure(KeyringFailure::Kind kind, std::string message)
{
    return { kind, std::move(message) };
}

// A service that answered with one of its own errors, or with a denial from the bus, refused the request;
// any other error (no such service, no reply in time, a broken connection) means nobody answered.
KeyringFailure refusal(const ErrorSlot& error, const std::string& doing)
{
    const std::string name = error.remoteName();
    if (name == "org.freedesktop.Secret.Error.IsLocked")
        return failure(KeyringFailure::Kind::Locked, "the keyring is locked; unlock it and try again");
    const bool refused = name.starts_with("org.freedesktop.Secret.Error.")
        || name == "org.freedesktop.DBus.Error.AccessDenied"
        || name == "org.freedesktop.DBus.Error.NotSupported";
    return failure(refused ? KeyringFailure::Kind::Refused : KeyringFailure::Kind::Unavailable,
        "the Secret Service could not " + doing + ": " + error.message());
}

// The keyring new items go to.
std::variant<Object<SecretCollection>, KeyringFailure> defaultKeyring(SecretService* service)
{
    ErrorSlot error;
    Object<SecretCollection> keyring(secret_collection_for_alias_sync(
        service, SECRET_COLLECTION_DEFAULT, SECRET_COLLECTION_NONE, nullptr, &error));
    if (error)
        return refusal(error, "find the default keyring");
    if (!keyring)
        return failure(KeyringFailure::Kind::Unavailable, "there is no default keyring to save the item in");
    return keyring;
}

Table searchAttributes(const std::string& service)
{
    Table attributes(g_hash_table_new(g_str_hash, g_str_equal));
    g_hash_table_insert(attributes.get(), const_cast<char*>("service"), const_cast<char*>(service.c_str()));
    return attributes;
}

std::string collectionPath(SecretItem* item)
{
    const std::string path = g_dbus_proxy_get_object_path(G_DBUS_PROXY(item));
    return path.substr(0, path.rfind('/'));
}

FoundItem describe(SecretItem* item, const std::string& service)
{
    FoundItem found;
    found.keyring = collectionPath(item);
    Table attributes(secret_item_get_attributes(item));
    if (const auto* account = static_cast<const char*>(g_hash_table_lookup(attributes.get(), "account")))
        found.account = account;
    Text label(secret_item_get_label(item));
    found.label = label ? label.get() : "";
    found.service = service;
    found.created = secret_item_get_created(item);
    found.modified = secret_item_get_modified(item);
    return found;
}

}

struct Keyring::Connection
{
    Object<SecretService> service;
};

Keyring::Keyring(std::unique_ptr<Connection> connection)
    : connection(std::move(connection))
{
}

Keyring::Keyring(Keyring&&) noexcept = default;

Keyring::~Keyring()
{
    if (connection) {
        connection->service.reset();
        secret_service_disconnect();
    }
}

std::variant<Keyring, KeyringFailure> Keyring::open()
{
    ErrorSlot error;
    Object<SecretService> service(secret_service_get_sync(SECRET_SERVICE_OPEN_SESSION, nullptr, &error));
    if (!service)
        return failure(
            KeyringFailure::Kind::Unavailable, "cannot reach the Secret Service: " + error.message());
    return Keyring(std::make_unique<Connection>(Connection { std::move(service) }));
}

namespace {

// The unlocked item of the service that was changed last: the one a save made most recently, even when
// older items of the same service are left in other keyrings.
std::variant<Object<SecretItem>, KeyringFailure> newestItem(SecretService* service, const std::string& name)
{
    ErrorSlot error;
    const Table attributes = searchAttributes(name);
    ItemList items(secret_service_search_sync(
        service, &accountSchema, attributes.get(), SECRET_SEARCH_ALL, nullptr, &error));
    if (error)
        return refusal(error, "search the keyring");
    SecretItem* newest = nullptr;
    bool lockedSeen = false;
    for (GList* entry = items.get(); entry; entry = entry->next) {
        auto* item = static_cast<SecretItem*>(entry->data);
        if (secret_item_get_locked(item))
            lockedSeen = true;
        else if (!newest || secret_item_get_modified(item) > secret_item_get_modified(newest))
            newest = item;
    }
    if (newest)
        return Object<SecretItem>(static_cast<SecretItem*>(g_object_ref(newest)));
    if (lockedSeen)
        return failure(
            KeyringFailure::Kind::Locked, "the keyring holding the item is locked; unlock it and try again");
    return failure(KeyringFailure::Kind::NotFound, "the specified item could not be found in the keyring");
}

}

std::variant<StoredItem, KeyringFailure> Keyring::find(const std::string& service) const
{
    auto newest = newestItem(connection->service.get(), service);
    if (auto* problem = std::get_if<KeyringFailure>(&newest))
        return *problem;
    SecretItem* item = std::get<Object<SecretItem>>(newest).get();

    ErrorSlot error;
    if (!secret_item_load_secret_sync(item, nullptr, &error))
        return refusal(error, "read the password");
    Value value(secret_item_get_secret(item));
    if (!value)
        return failure(
            KeyringFailure::Kind::Locked, "the keyring holding the item is locked; unlock it and try again");
    gsize length = 0;
    const gchar* bytes = secret_value_get(value.get(), &length);
    return StoredItem { describe(item, service), std::string(bytes, length) };
}

std::optional<KeyringFailure> Keyring::remove(const std::string& service) const
{
    auto newest = newestItem(connection->service.get(), service);
    if (auto* problem = std::get_if<KeyringFailure>(&newest))
        return *problem;
    ErrorSlot error;
    if (!secret_item_delete_sync(std::get<Object<SecretItem>>(newest).get(), nullptr, &error))
        return refusal(error, "delete the item");
    return std::nullopt;
}

std::optional<KeyringFailure> Keyring::add(
    const std::string& service, const std::string& account, const std::string& secret) const
{
    // Attributes are UTF-8 text on the bus; anything else would be refused there with a less clear reason.
    if (!g_utf8_validate(account.data(), gssize(account.size()), nullptr)
        || !g_utf8_validate(service.data(), gssize(service.size()), nullptr))
        return failure(KeyringFailure::Kind::Unavailable, "the account and the service must be UTF-8 text");

    auto found = defaultKeyring(connection->service.get());
    if (auto* problem = std::get_if<KeyringFailure>(&found))
        return *problem;
    const Object<SecretCollection>& keyring = std::get<Object<SecretCollection>>(found);
    if (secret_collection_get_locked(keyring.get()))
        return failure(
            KeyringFailure::Kind::Locked, "the default keyring is locked; unlock it and try again");

    ErrorSlot error;

    Table attributes(g_hash_table_new(g_str_hash, g_str_equal));
    g_hash_table_insert(attributes.get(), const_cast<char*>("service"), const_cast<char*>(service.c_str()));
    g_hash_table_insert(attributes.get(), const_cast<char*>("account"), const_cast<char*>(account.c_str()));
    Value value(secret_value_new(secret.data(), gssize(secret.size()), "text/plain"));
    Object<SecretItem> item(secret_item_create_sync(keyring.get(), &accountSchema, attributes.get(),
        service.c_str(), value.get(), SECRET_ITEM_CREATE_REPLACE, nullptr, &error));
    if (!item)
        return refusal(error, "save the item");
    return std::nullopt;
}

namespace {

// One unlock with its prompt, waited for on the default main context. libsecret's own synchronous unlock is
// no use here: once cancelled, it dismisses the prompt but never returns.
struct PromptedUnlock
{
    GMainLoop* loop = g_main_loop_new(nullptr, false);
    GCancellable* cancel = g_cancellable_new();
    gint count = 0;
    ErrorSlot error;
    bool answered = false;

    ~PromptedUnlock()
    {
        g_object_unref(cancel);
        g_main_loop_unref(loop);
    }

    static void finished(GObject* service, GAsyncResult* result, gpointer data)
    {
        auto* run = static_cast<PromptedUnlock*>(data);
        GList* unlocked = nullptr;
        run->count = secret_service_unlock_finish(SECRET_SERVICE(service), result, &unlocked, &run->error);
        g_list_free_full(unlocked, g_object_unref);
        run->answered = true;
        g_main_loop_quit(run->loop);
    }
    // The prompt was not answered in time: it is dismissed, and the dismissal is given a moment to reach the
    // service before the run gives up waiting.
    static gboolean expired(gpointer data)
    {
        auto* run = static_cast<PromptedUnlock*>(data);
        g_cancellable_cancel(run->cancel);
        g_timeout_add_seconds(1, quit, run);
        return G_SOURCE_REMOVE;
    }
    static gboolean quit(gpointer data)
    {
        g_main_loop_quit(static_cast<PromptedUnlock*>(data)->loop);
        return G_SOURCE_REMOVE;
    }
};

}

std::optional<KeyringFailure> Keyring::unlockDefault(unsigned promptSeconds) const
{
    auto found = defaultKeyring(connection->service.get());
    if (auto* problem = std::get_if<KeyringFailure>(&found))
        return *problem;
    SecretCollection* keyring = std::get<Object<SecretCollection>>(found).get();
    if (!secret_collection_get_locked(keyring))
        return std::nullopt;

    // The service shows its prompt and answers once the user has typed the password or dismissed it.
    GList objects { keyring, nullptr, nullptr };
    PromptedUnlock run;
    secret_service_unlock(connection->service.get(), &objects, run.cancel, PromptedUnlock::finished, &run);
    const guint limit = g_timeout_add_seconds(promptSeconds, PromptedUnlock::expired, &run);
    g_main_loop_run(run.loop);
    if (!run.answered)
        return failure(KeyringFailure::Kind::Locked,
            "the default keyring stays locked: its password prompt was not answered in time");
    g_source_remove(limit);
    if (run.error)
        return refusal(run.error, "unlock the default keyring");
    if (run.count < 1)
        return failure(KeyringFailure::Kind::Locked,
            "the default keyring stays locked: its password prompt was dismissed or could not be shown");
    return std::nullopt;
}
