#include "store/config.h"

#include "store/folders.h"
#include "store/keystore.h"

KeyStore* config = nullptr;

KeyStore* readConfig() {
    KeyStore* store = loadKeyStore(dataPath("game.dat").c_str());
    if (!store) return nullptr;
    // A lone word parses, but it is no configuration: refusing it here gives the player the
    // configuration message instead of a window that cannot be made 0 pixels wide.
    if (store->root->type != NODE_OBJECT) {
        freeKeyStore(store);
        return nullptr;
    }
    return store;
}
