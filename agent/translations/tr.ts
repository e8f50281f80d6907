<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="tr">
<context>
    <name>Agent</name>
    <message>
        <source>%1 Agent</source>
        <translation>%1 Agent</translation>
    </message>
    <message>
        <source>Can&apos;t connect to the %1 system service</source>
        <translation>%1 sistem hizmetine bağlanılamıyor</translation>
    </message>
    <message>
        <source>The connection to the %1 system service was lost</source>
        <translation>%1 sistem hizmetiyle bağlantı kesildi</translation>
    </message>
    <message>
        <source>Enter your password to access Agent settings</source>
        <translation>Ajan ayarlarına erişmek için parolanızı girin</translation>
    </message>
    <message>
        <source>Enter your password to stop filtering</source>
        <translation>Filtrelemeyi durdurmak için parolanızı girin</translation>
    </message>
    <message>
        <source>Enter your password to set the active profile</source>
        <translation>Etkin profili seçmek için parolanızı girin</translation>
    </message>
    <message>
        <source>Enter your password to uninstall %1</source>
        <translation>%1 uygulamasını kaldırmak için parolanızı girin</translation>
    </message>
    <message>
        <source>Can&apos;t reach %1</source>
        <translation>%1 hizmetine ulaşılamıyor</translation>
    </message>
    <message>
        <source>A %1 system service error</source>
        <translation>%1 sistem hizmeti hatası</translation>
    </message>
    <message>
        <source>The service part of %1 Agent doesn&apos;t work. Probably the service is still starting. If it doesn&apos;t start in a minute try to start it manually. Notice, %1 Agent doesn&apos;t work without this service.</source>
        <translation>%1 Agent hizmet bileşeni çalışmıyor. Hizmet büyük olasılıkla hâlâ başlatılıyor. Bir dakika içinde başlamazsa elle başlatmayı deneyin. %1 Agent bu hizmet olmadan çalışmaz.</translation>
    </message>
    <message>
        <source>Connecting to the %1 system service...</source>
        <translation>%1 sistem hizmetine bağlanılıyor...</translation>
    </message>
    <message>
        <source>The %1 system service is successfully connected and now waiting for the end of initialization steps</source>
        <translation>%1 sistem hizmetine bağlanıldı; başlatma adımlarının bitmesi bekleniyor</translation>
    </message>
    <message>
        <source>Identification failed</source>
        <translation>Tanımlama başarısız</translation>
    </message>
    <message>
        <source>Filtering is disabled</source>
        <translation>Filtreleme devre dışı</translation>
    </message>
    <message>
        <source>%1 Agent can&apos;t retrieve the information about internet connections on this computer. Probably the computer is disconnected from the internet or the type of your connection isn&apos;t supported by the Agent yet.</source>
        <translation>%1 Agent bu bilgisayarın internet bağlantıları hakkında bilgi alamıyor. Bilgisayarın internet bağlantısı kesilmiş olabilir ya da bağlantı türünüz henüz desteklenmiyor olabilir.</translation>
    </message>
    <message>
        <source>Filtering isn&apos;t activated on any of network connections. To activate it, click on the Settings button.</source>
        <translation>Filtreleme hiçbir ağ bağlantısında etkin değil. Etkinleştirmek için Ayarlar düğmesine tıklayın.</translation>
    </message>
    <message>
        <source>Filtering is turned off</source>
        <translation>Filtreleme kapalı</translation>
    </message>
    <message>
        <source>To turn on filtering, click the button in the bottom left corner</source>
        <translation>Filtrelemeyi açmak için sol alt köşedeki düğmeye tıklayın</translation>
    </message>
    <message>
        <source>The internet is under control</source>
        <translation>İnternet denetim altında</translation>
    </message>
    <message>
        <source>This computer is successfully connected to the service and is filtered according to your account settings</source>
        <translation>Bu bilgisayar hizmete bağlı ve hesap ayarlarınıza göre filtreleniyor</translation>
    </message>
    <message>
        <source>Can&apos;t set up identification of this computer on service</source>
        <translation>Bu bilgisayarın hizmette tanımlanması ayarlanamıyor</translation>
    </message>
    <message>
        <source>Start filtering</source>
        <translation>Filtrelemeyi başlat</translation>
    </message>
    <message>
        <source>Filtering settings aren&apos;t available right now</source>
        <translation>Filtreleme ayarları şu anda kullanılamıyor</translation>
    </message>
    <message>
        <source>Collecting information is in progress. This can take up to 2 minutes.</source>
        <translation>Bilgiler toplanıyor. Bu işlem 2 dakikaya kadar sürebilir.</translation>
    </message>
</context>
<context>
    <name>AppUpdater</name>
    <message>
        <source>Latest version is installed</source>
        <translation>En son sürüm yüklü</translation>
    </message>
    <message>
        <source>%1 Agent</source>
        <translation>%1 Agent</translation>
    </message>
    <message>
        <source>The update location answered with HTTP status %1</source>
        <translation>Güncelleme konumu HTTP %1 durumuyla yanıt verdi</translation>
    </message>
    <message>
        <source>The address %1 is not secure: updates come only from https addresses</source>
        <translation>%1 adresi güvenli değil: güncellemeler yalnızca https adreslerinden gelir</translation>
    </message>
    <message>
        <source>Invalid download url</source>
        <translation>Geçersiz indirme adresi</translation>
    </message>
    <message>
        <source>The installer is larger than %1 MiB</source>
        <translation>Yükleyici %1 MiB&apos;den büyük</translation>
    </message>
    <message>
        <source>Downloading the update</source>
        <translation>Güncelleme indiriliyor</translation>
    </message>
</context>
<context>
    <name>FilterSettingsPage</name>
    <message>
        <source>Categories</source>
        <translation>Kategoriler</translation>
    </message>
    <message>
        <source>Check the categories of sites to block</source>
        <translation>Engellenecek site kategorilerini işaretleyin</translation>
    </message>
    <message>
        <source>Categories can&apos;t be changed while the White List only is used</source>
        <translation>Yalnızca beyaz liste kullanılırken kategoriler değiştirilemez</translation>
    </message>
    <message>
        <source>White and black lists</source>
        <translation>Beyaz ve kara listeler</translation>
    </message>
    <message>
        <source>White list</source>
        <translation>Beyaz liste</translation>
    </message>
    <message>
        <source>Sites that are never blocked</source>
        <translation>Hiçbir zaman engellenmeyen siteler</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Ekle</translation>
    </message>
    <message>
        <source>Black list</source>
        <translation>Kara liste</translation>
    </message>
    <message>
        <source>Sites that are always blocked</source>
        <translation>Her zaman engellenen siteler</translation>
    </message>
    <message>
        <source>Aliases</source>
        <translation>Takma adlar</translation>
    </message>
    <message>
        <source>A domain of the alias list resolves to the address you give it</source>
        <translation>Takma ad listesindeki bir alan adı, verdiğiniz adrese çözümlenir</translation>
    </message>
    <message>
        <source>Schedule</source>
        <translation>Zamanlama</translation>
    </message>
    <message>
        <source>Use the schedule</source>
        <translation>Zamanlamayı kullan</translation>
    </message>
    <message>
        <source>Hours in green: the profile filters. The hours are set on the account site.</source>
        <translation>Yeşil saatler: profil filtreler. Saatler hesap sitesinde ayarlanır.</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Gelişmiş</translation>
    </message>
    <message>
        <source>Use the White List only</source>
        <translation>Yalnızca beyaz listeyi kullan</translation>
    </message>
    <message>
        <source>Block unknown sites</source>
        <translation>Bilinmeyen siteleri engelle</translation>
    </message>
    <message>
        <source>Force Safe Search</source>
        <translation>Güvenli Aramayı zorla</translation>
    </message>
    <message>
        <source>Force Restricted Mode for YouTube</source>
        <translation>YouTube için Kısıtlı Modu zorla</translation>
    </message>
</context>
<context>
    <name>MessageDialog</name>
    <message>
        <source>Close</source>
        <translation>Kapat</translation>
    </message>
</context>
<context>
    <name>ProfilesSettingsPage</name>
    <message>
        <source>Profiles</source>
        <translation>Profiller</translation>
    </message>
    <message>
        <source>Name of a new profile</source>
        <translation>Yeni profilin adı</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Ekle</translation>
    </message>
    <message>
        <source>Local users</source>
        <translation>Yerel kullanıcılar</translation>
    </message>
    <message>
        <source>Bind local users to profiles</source>
        <translation>Yerel kullanıcıları profillere bağla</translation>
    </message>
    <message>
        <source>The profile of the user who logs in at this computer becomes the active one</source>
        <translation>Bu bilgisayarda oturum açan kullanıcının profili etkin profil olur</translation>
    </message>
</context>
<context>
    <name>SystemInformationDialog</name>
    <message>
        <source>System information</source>
        <translation>Sistem bilgileri</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Kaydet</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>İptal</translation>
    </message>
    <message>
        <source>No file name was given</source>
        <translation>Dosya adı verilmedi</translation>
    </message>
    <message>
        <source>Save system information</source>
        <translation>Sistem bilgilerini kaydet</translation>
    </message>
    <message>
        <source>Text Files (*.txt)</source>
        <translation>Metin dosyaları (*.txt)</translation>
    </message>
    <message>
        <source>The report cannot be saved to %1: %2</source>
        <translation>Rapor %1 konumuna kaydedilemiyor: %2</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Stop filtering</source>
        <translation>Filtrelemeyi durdur</translation>
    </message>
    <message>
        <source>Until start or reboot</source>
        <translation>Başlatana veya yeniden başlatana kadar</translation>
    </message>
    <message>
        <source>10 minutes</source>
        <translation>10 dakika</translation>
    </message>
    <message>
        <source>30 minutes</source>
        <translation>30 dakika</translation>
    </message>
    <message>
        <source>1 hour</source>
        <translation>1 saat</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Çıkış</translation>
    </message>
</context>
<context>
    <name>UserProfileMappingModel</name>
    <message>
        <source>Local user</source>
        <translation>Yerel kullanıcı</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>Profil</translation>
    </message>
</context>
<context>
    <name>Window</name>
    <message>
        <source>Minimize</source>
        <translation>Simge durumuna küçült</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Kapat</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Ana sayfa</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Ayarlar</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Yardım</translation>
    </message>
    <message>
        <source>Filtering</source>
        <translation>Filtreleme</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Parola</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;https://my.corvane.example/password-recovery&quot;&gt;Forgot my password&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;https://my.corvane.example/password-recovery&quot;&gt;Parolamı unuttum&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>İptal</translation>
    </message>
    <message>
        <source>Unlock</source>
        <translation>Kilidi aç</translation>
    </message>
    <message>
        <source>Email</source>
        <translation>E-posta</translation>
    </message>
    <message>
        <source>Sign in</source>
        <translation>Oturum aç</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;https://my.corvane.example/signup&quot;&gt;No account?&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;https://my.corvane.example/signup&quot;&gt;Hesabınız yok mu?&lt;/a&gt;</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Genel</translation>
    </message>
    <message>
        <source>Protect settings with password</source>
        <translation>Ayarları parolayla koru</translation>
    </message>
    <message>
        <source>Show Agent icon in the system tray</source>
        <translation>Ajan simgesini sistem tepsisinde göster</translation>
    </message>
    <message>
        <source>Automatically check for updates</source>
        <translation>Güncellemeleri otomatik denetle</translation>
    </message>
    <message>
        <source>Network connections</source>
        <translation>Ağ bağlantıları</translation>
    </message>
    <message>
        <source>Protected network connections</source>
        <translation>Korunan ağ bağlantıları</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Gelişmiş</translation>
    </message>
    <message>
        <source>DNS server</source>
        <translation>DNS sunucusu</translation>
    </message>
    <message>
        <source>Use</source>
        <translation>Kullan</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Telefon</translation>
    </message>
    <message>
        <source>Website</source>
        <translation>Web sitesi</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Sürüm</translation>
    </message>
    <message>
        <source>To make the work of technical support more effective please send a system information report with a description of your problem</source>
        <translation>Teknik desteğin daha etkili olması için lütfen sorununuzun açıklamasıyla birlikte bir sistem bilgisi raporu gönderin</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>Kılavuz</translation>
    </message>
    <message>
        <source>Get support</source>
        <translation>Destek al</translation>
    </message>
    <message>
        <source>System information</source>
        <translation>Sistem bilgisi</translation>
    </message>
    <message>
        <source>Check for updates</source>
        <translation>Güncellemeleri denetle</translation>
    </message>
    <message>
        <source>Profiles</source>
        <translation>Profiller</translation>
    </message>
    <message>
        <source>Content filtering settings</source>
        <translation>İçerik filtreleme ayarları</translation>
    </message>
    <message>
        <source>Categories of sites, exceptions and aliases</source>
        <translation>Site kategorileri, istisnalar ve takma adlar</translation>
    </message>
    <message>
        <source>Filtering profiles and local users</source>
        <translation>Filtreleme profilleri ve yerel kullanıcılar</translation>
    </message>
    <message>
        <source>Common settings</source>
        <translation>Genel ayarlar</translation>
    </message>
    <message>
        <source>Startup, updates and network connections</source>
        <translation>Başlangıç, güncellemeler ve ağ bağlantıları</translation>
    </message>
    <message>
        <source>Authentication settings</source>
        <translation>Kimlik doğrulama ayarları</translation>
    </message>
    <message>
        <source>Your login and password</source>
        <translation>Kullanıcı adınız ve parolanız</translation>
    </message>
    <message>
        <source>Your password is incorrect</source>
        <translation>Parolanız yanlış</translation>
    </message>
    <message>
        <source>Your login or password is incorrect</source>
        <translation>Kullanıcı adınız veya parolanız yanlış</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Etkin</translation>
    </message>
    <message>
        <source>Do you really want to delete %1 profile?</source>
        <translation>%1 profilini gerçekten silmek istiyor musunuz?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Evet</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Hayır</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Ayrıntılar</translation>
    </message>
    <message>
        <source>Install</source>
        <translation>Yükle</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Gizle</translation>
    </message>
    <message>
        <source>This update comes through the system&apos;s software updates</source>
        <translation>Bu güncelleme sistemin yazılım güncellemeleriyle gelir</translation>
    </message>
    <message>
        <source>A new version of %1 (%2) is available</source>
        <translation>%1 uygulamasının yeni bir sürümü (%2) mevcut</translation>
    </message>
    <message>
        <source>The profile whose settings are shown</source>
        <translation>Ayarları gösterilen profil</translation>
    </message>
</context>
</TS>
