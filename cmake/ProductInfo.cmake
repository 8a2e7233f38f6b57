# The product's own data, shown by the About window, --version and the
# package. The version comes from project() alone.
set(ZEMVALKORTA_PRODUCT_NAME "ZEMVALKORTA-1.0")
set(ZEMVALKORTA_PACKAGE_NAME "ZEMVALKORTA")
set(ZEMVALKORTA_COMMENTS "Определение морозостойкости бетона дилатометрическим методом")
set(ZEMVALKORTA_SUMMARY "frost resistance of concrete by the dilatometric method (GOST 10060.3-95)")
set(ZEMVALKORTA_YEAR "2026")
# Placeholders until the maker's real contact data is supplied.
set(ZEMVALKORTA_COMPANY_NAME "Изготовитель прибора")
set(ZEMVALKORTA_COMPANY_PHONE "+7 000 000-00-00")
set(ZEMVALKORTA_COMPANY_EMAIL "info@example.org")
set(ZEMVALKORTA_COMPANY_WEB "www.example.org")
